#include "colorcombobox.h"

#include <QAbstractItemView>
#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

namespace {

QIcon swatch(const QColor &color)
{
    QPixmap pixmap(16, 12);
    pixmap.fill(color);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, pixmap.width() - 1, pixmap.height() - 1);
    return QIcon(pixmap);
}

QColor systemColorDialog(const QColor &initial, QWidget *parent)
{
    return QColorDialog::getColor(initial, parent);
}

} // namespace

const QList<ColorComboBox::NamedColor> &ColorComboBox::namedColors()
{
    static const QList<NamedColor> colors {
        {"Black", QColor(0, 0, 0)},
        {"Maroon", QColor(128, 0, 0)},
        {"Green", QColor(0, 128, 0)},
        {"Olive green", QColor(128, 128, 0)},
        {"Navy blue", QColor(0, 0, 128)},
        {"Purple", QColor(128, 0, 128)},
        {"Teal", QColor(0, 128, 128)},
        {"Gray", QColor(128, 128, 128)},
        {"Silver", QColor(192, 192, 192)},
        {"Red", QColor(255, 0, 0)},
        {"Lime", QColor(0, 255, 0)},
        {"Yellow", QColor(255, 255, 0)},
        {"Blue", QColor(0, 0, 255)},
        {"Fuchsia", QColor(255, 0, 255)},
        {"Aqua", QColor(0, 255, 255)},
        {"White", QColor(255, 255, 255)},
        {"Money green", QColor(192, 220, 192)},
        {"Sky blue", QColor(166, 202, 240)},
        {"Cream", QColor(255, 251, 240)},
        {"Medium gray", QColor(160, 160, 164)},
    };
    return colors;
}

QString ColorComboBox::customEntryText()
{
    return QStringLiteral("Definicja własnego koloru...");
}

QString ColorComboBox::customColorName()
{
    return QStringLiteral("Własny");
}

ColorComboBox::ColorComboBox(QWidget *parent) : QComboBox(parent), m_colorDialog(&systemColorDialog)
{
    for (const NamedColor &named : namedColors())
        addItem(swatch(named.color), QLatin1String(named.name), named.color);
    addItem(customEntryText());
    setCurrentIndex(0);
    // The list shows whole names however narrow the box is.
    view()->setMinimumWidth(view()->sizeHintForColumn(0) + 8);
    connect(this, &QComboBox::activated, this, &ColorComboBox::entryActivated);
}

QColor ColorComboBox::color() const
{
    return currentData().value<QColor>();
}

void ColorComboBox::setColor(const QColor &color)
{
    const QColor rgb = color.toRgb();
    int index = -1;
    for (int i = 0; i < customEntryIndex(); ++i) {
        if (itemData(i).value<QColor>() == rgb) {
            index = i;
            break;
        }
    }
    if (index < 0) {
        // One entry holds the colour of the user's own; a new one replaces it.
        index = ownColorIndex();
        if (index < 0) {
            index = customEntryIndex();
            insertItem(index, swatch(rgb), customColorName(), rgb);
        } else {
            setItemIcon(index, swatch(rgb));
            setItemData(index, rgb);
        }
    }
    const QSignalBlocker blocker(this);
    setCurrentIndex(index);
    m_lastColorIndex = index;
}

void ColorComboBox::setColorDialog(ColorDialog dialog)
{
    m_colorDialog = dialog ? std::move(dialog) : ColorDialog(&systemColorDialog);
}

void ColorComboBox::entryActivated(int index)
{
    if (index != customEntryIndex()) {
        m_lastColorIndex = index;
        emit colorChosen(itemData(index).value<QColor>());
        return;
    }
    const QColor previous = itemData(m_lastColorIndex).value<QColor>();
    const QColor chosen = m_colorDialog(previous, this);
    if (!chosen.isValid()) {
        const QSignalBlocker blocker(this);
        setCurrentIndex(m_lastColorIndex);
        return;
    }
    setColor(chosen);
    emit colorChosen(color());
}

int ColorComboBox::ownColorIndex() const
{
    const int index = customEntryIndex() - 1;
    return index >= int(namedColors().size()) ? index : -1;
}
