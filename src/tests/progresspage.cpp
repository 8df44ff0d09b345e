#include "progresspage.h"

#include "data/database.h"
#include "oraldrill.h"
#include "retakedraw.h"
#include "toolkit/messageboxes.h"

#include <QAbstractTableModel>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHorizontalStackedBarSeries>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QScrollArea>
#include <QTableView>
#include <QVBoxLayout>
#include <QValueAxis>

namespace {

constexpr int CaptionLength = 34;

// The past tests, newest first, as the list shows them.
class HistoryModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setEntries(const QList<History::Entry> *entries)
    {
        beginResetModel();
        m_entries = entries;
        endResetModel();
    }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() || !m_entries ? 0 : int(m_entries->size());
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : 4;
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || !m_entries)
            return {};
        const History::Entry &entry = m_entries->at(index.row());
        if (role == Qt::DisplayRole) {
            switch (index.column()) {
            case 0:
                return entry.when.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
            case 1:
                return History::kindName(entry.kind);
            case 2:
                return QStringLiteral("%1 z %2 (%3 %)")
                    .arg(entry.right)
                    .arg(entry.right + entry.wrong)
                    .arg(entry.percent);
            case 3:
                return entry.passed ? QStringLiteral("zdany") : QStringLiteral("niezdany");
            }
        } else if (role == Qt::ForegroundRole && index.column() == 3) {
            return QColor(entry.passed ? QColor(0, 128, 0) : ProgressPage::WeakColor);
        }
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        static const char16_t *const titles[] = {u"Data", u"Rodzaj", u"Wynik", u"Ocena"};
        return section >= 0 && section < 4 ? QString::fromUtf16(titles[section]) : QVariant();
    }

private:
    const QList<History::Entry> *m_entries = nullptr;
};

QChart *newChart(const QString &title)
{
    auto *chart = new QChart;
    chart->setTitle(title);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    return chart;
}

// Each filling gets a chart of its own: axes removed from a chart in use
// leave their labels behind.
QChart *replaceChart(QChartView *view)
{
    QChart *old = view->chart();
    QChart *chart = newChart(old->title());
    view->setChart(chart);
    delete old;
    return chart;
}

QChartView *chartView(const QString &name, const QString &title, QWidget *parent)
{
    auto *view = new QChartView(newChart(title), parent);
    view->setObjectName(name);
    view->setRenderHint(QPainter::Antialiasing);
    return view;
}

QString shortCaption(int idDzial)
{
    const QString caption = History::sectionCaption(idDzial);
    return caption.size() <= CaptionLength ? caption
                                           : caption.left(CaptionLength - 1).trimmed() + u'…';
}

} // namespace

ProgressPage::ProgressPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("NP_Postepy"));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    outer->addWidget(scroll);
    auto *body = new QWidget(scroll);
    scroll->setWidget(body);
    auto *layout = new QGridLayout(body);
    layout->setContentsMargins(8, 8, 8, 8);

    auto *title = new QLabel(tr("Postępy"), body);
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPixelSize(16);
    title->setFont(titleFont);
    layout->addWidget(title, 0, 0, 1, 2);

    m_empty = new QLabel(
        tr("Nie masz jeszcze żadnego ukończonego testu. Rozwiąż test egzaminacyjny lub "
           "tematyczny, a zobaczysz tu swoje wyniki i najsłabsze działy."),
        body);
    m_empty->setObjectName(QStringLiteral("L_ProgressEmpty"));
    m_empty->setWordWrap(true);
    layout->addWidget(m_empty, 1, 0, 1, 2);

    m_list = new QTableView(body);
    m_list->setObjectName(QStringLiteral("TV_History"));
    m_list->setModel(new HistoryModel(m_list));
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setDefaultSectionSize(20);
    m_list->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->setMinimumSize(300, 220);
    layout->addWidget(m_list, 2, 0);

    m_percentView = chartView(QStringLiteral("CV_Percent"), tr("Wyniki testów"), body);
    m_percentView->setMinimumSize(300, 220);
    layout->addWidget(m_percentView, 2, 1);

    m_sectionView = chartView(
        QStringLiteral("CV_Sections"),
        tr("Poprawne odpowiedzi w działach z ostatnich %1 dni").arg(History::RecentDays), body);
    m_sectionView->setMinimumHeight(260);
    layout->addWidget(m_sectionView, 3, 0, 1, 2);
    layout->setRowStretch(3, 1);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_practice = new QPushButton(tr("Ćwicz najsłabsze działy"), body);
    m_practice->setObjectName(QStringLiteral("BB_PracticeWeakest"));
    m_practice->setToolTip(tr("Test tematyczny z %1 pytań z pięciu najsłabszych działów, "
                              "najpierw z pytań, na które odpowiedziałeś błędnie")
                               .arg(RetakeDraw::PracticeSize));
    m_clear = new QPushButton(tr("Wyczyść historię"), body);
    m_clear->setObjectName(QStringLiteral("BB_ClearHistory"));
    for (QPushButton *button : {m_practice, m_clear}) {
        button->setAutoDefault(false);
        button->setMinimumWidth(180);
        buttons->addWidget(button);
    }
    m_oral = new QLabel(body);
    m_oral->setObjectName(QStringLiteral("L_OralBoxes"));
    m_oral->setWordWrap(true);
    layout->addWidget(m_oral, 4, 0, 1, 2);
    layout->addLayout(buttons, 5, 0, 1, 2);

    connect(m_practice, &QPushButton::clicked, this, [this] { emit practiceRequested(m_weakest); });
    connect(m_clear, &QPushButton::clicked, this, &ProgressPage::clearHistory);
    fillPercentChart();
    fillSectionChart();
    m_practice->setEnabled(false);
    m_clear->setEnabled(false);
}

QString ProgressPage::oralBoxesText() const
{
    if (m_oralBoxes.isEmpty())
        return {};
    QStringList boxes;
    for (int box = 1; box <= OralDrill::Boxes; ++box)
        boxes.append(tr("%1: %2").arg(box).arg(m_oralBoxes.value(box)));
    return tr("Egzamin ustny – pytania w pudełkach powtórek (1 – co dzień, 5 – co 16 dni): %1; "
              "jeszcze nie ćwiczone: %2.")
        .arg(boxes.join(QStringLiteral(", ")))
        .arg(m_oralBoxes.value(0));
}

QAbstractItemModel *ProgressPage::historyModel() const
{
    return m_list->model();
}

QChart *ProgressPage::percentChart() const
{
    return m_percentView->chart();
}

QChart *ProgressPage::sectionChart() const
{
    return m_sectionView->chart();
}

void ProgressPage::refresh()
{
    refresh(QDateTime::currentDateTime());
}

void ProgressPage::refresh(const QDateTime &now)
{
    // The list lets go of the entries before they change: an error box may repaint it.
    auto *model = static_cast<HistoryModel *>(m_list->model());
    model->setEntries(nullptr);
    m_entries.clear();
    m_shares.clear();
    m_oralBoxes.clear();
    runGuarded(window(), [&] {
        const QSqlDatabase db = Database::connection();
        m_entries = History::entries(db);
        m_shares = History::sectionShares(db, now.addDays(-History::RecentDays));
        m_oralBoxes = OralDrill::boxCounts(db);
    });
    m_oral->setText(oralBoxesText());
    m_weakest = History::weakest(m_shares);
    model->setEntries(&m_entries);
    m_empty->setVisible(m_entries.isEmpty());
    fillPercentChart();
    fillSectionChart();
    m_practice->setEnabled(!m_weakest.isEmpty());
    m_clear->setEnabled(!m_entries.isEmpty());
}

void ProgressPage::fillPercentChart()
{
    QChart *chart = replaceChart(m_percentView);
    auto *results = new QLineSeries;
    results->setName(tr("Wynik"));
    auto *mark = new QLineSeries;
    mark->setName(tr("Próg zdania %1 %").arg(Scoring::PassMark));
    QPen markPen(WeakColor);
    markPen.setStyle(Qt::DashLine);
    markPen.setWidth(2);
    mark->setPen(markPen);

    QList<QPointF> points;
    points.reserve(m_entries.size());
    for (auto it = m_entries.crbegin(); it != m_entries.crend(); ++it)
        points.append(QPointF(double(it->when.toMSecsSinceEpoch()), it->percent));
    QDateTime first = QDateTime::currentDateTime().addDays(-History::RecentDays);
    QDateTime last = QDateTime::currentDateTime();
    if (!m_entries.isEmpty()) {
        first = m_entries.constLast().when;
        last = m_entries.constFirst().when;
        // One test, or several in a minute, still get a readable span.
        if (first.secsTo(last) < 3600) {
            first = first.addSecs(-1800);
            last = last.addSecs(1800);
        }
    }
    results->replace(points);
    // Single tests stay visible as points; a long history is a line.
    results->setPointsVisible(points.size() <= 100);
    mark->append(double(first.toMSecsSinceEpoch()), Scoring::PassMark);
    mark->append(double(last.toMSecsSinceEpoch()), Scoring::PassMark);
    chart->addSeries(results);
    chart->addSeries(mark);

    auto *time = new QDateTimeAxis;
    time->setFormat(first.daysTo(last) < 2 ? QStringLiteral("HH:mm") : QStringLiteral("dd.MM"));
    time->setRange(first, last);
    time->setTickCount(4);
    auto *percent = new QValueAxis;
    percent->setRange(0, 100);
    percent->setLabelFormat(QStringLiteral("%d %%"));
    percent->setTickCount(6);
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(percent, Qt::AlignLeft);
    for (QLineSeries *series : {results, mark}) {
        series->attachAxis(time);
        series->attachAxis(percent);
    }
}

void ProgressPage::fillSectionChart()
{
    QChart *chart = replaceChart(m_sectionView);
    auto *weak = new QBarSet(tr("%1 najsłabszych").arg(History::WeakestCount));
    weak->setColor(WeakColor);
    auto *others = new QBarSet(tr("Pozostałe działy"));
    others->setColor(OtherColor);
    // Weakest at the top: a horizontal chart lists its first category at the bottom.
    QList<History::SectionShare> ordered = m_shares;
    std::sort(ordered.begin(), ordered.end(),
              [this](const History::SectionShare &a, const History::SectionShare &b) {
                  const qsizetype ia = m_weakest.indexOf(a.idDzial);
                  const qsizetype ib = m_weakest.indexOf(b.idDzial);
                  if ((ia >= 0) != (ib >= 0))
                      return ib >= 0;
                  if (ia >= 0)
                      return ia > ib;
                  return a.percent() > b.percent();
              });
    QStringList categories;
    for (const History::SectionShare &share : std::as_const(ordered)) {
        const bool isWeak = m_weakest.contains(share.idDzial);
        weak->append(isWeak ? share.percent() : 0.0);
        others->append(isWeak ? 0.0 : share.percent());
        categories.append(QStringLiteral("%1 (%2 %)")
                              .arg(shortCaption(share.idDzial))
                              .arg(qRound(share.percent())));
    }
    auto *series = new QHorizontalStackedBarSeries;
    series->append(weak);
    series->append(others);
    series->setBarWidth(0.7);
    chart->addSeries(series);
    auto *sections = new QBarCategoryAxis;
    sections->append(categories);
    QFont small = sections->labelsFont();
    small.setPointSize(8);
    sections->setLabelsFont(small);
    sections->setTruncateLabels(false);
    auto *percent = new QValueAxis;
    percent->setRange(0, 100);
    percent->setLabelFormat(QStringLiteral("%d %%"));
    percent->setTickCount(6);
    chart->addAxis(sections, Qt::AlignLeft);
    chart->addAxis(percent, Qt::AlignBottom);
    series->attachAxis(sections);
    series->attachAxis(percent);
    chart->legend()->setVisible(!ordered.isEmpty());
    m_sectionView->setMinimumHeight(std::max(260, 90 + 22 * int(ordered.size())));
}

void ProgressPage::clearHistory()
{
    if (!MessageBoxes::question(window(), tr("Wyczyść historię"),
                                tr("Czy chcesz usunąć historię wszystkich testów?")
                                    + QStringLiteral("\r\n") + tr("Tej operacji nie można cofnąć."),
                                QMessageBox::No))
        return;
    runGuarded(window(), [] { History::clear(Database::connection()); });
    refresh();
}
