#pragma once

#include <QColor>
#include <QComboBox>

#include <functional>

// A drop-down of named colours, each with a swatch, ending in an entry that
// lets the user define a colour of their own. A colour that is not among the
// named ones is shown as "Własny", added before that last entry.
class ColorComboBox : public QComboBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ColorComboBox)

public:
    struct NamedColor
    {
        const char *name;
        QColor color;
    };
    // The named colours in their order: the sixteen of the 4-bit palette, then
    // money green, sky blue, cream and medium gray.
    static const QList<NamedColor> &namedColors();
    static QString customEntryText();
    static QString customColorName();

    // Asks the user for a colour, starting from the one given; an invalid
    // colour when the user cancels.
    using ColorDialog = std::function<QColor(const QColor &initial, QWidget *parent)>;

    explicit ColorComboBox(QWidget *parent = nullptr);

    QColor color() const;
    // Shows the colour without raising colorChosen.
    void setColor(const QColor &color);

    // Replaces the dialog of the last entry; an empty one restores the system's.
    void setColorDialog(ColorDialog dialog);

signals:
    // The user chose a colour from the list or defined one.
    void colorChosen(const QColor &color);

private:
    void entryActivated(int index);
    int customEntryIndex() const { return count() - 1; }
    int ownColorIndex() const;

    ColorDialog m_colorDialog;
    int m_lastColorIndex = 0;
};
