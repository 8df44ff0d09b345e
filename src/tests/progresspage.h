#pragma once

#include "history.h"

#include <QMap>
#include <QWidget>

class QAbstractItemModel;
class QChart;
class QChartView;
class QLabel;
class QPushButton;
class QTableView;

// The page "Postępy": the past tests, their percentages over time against
// the pass mark, the share of right answers per section over the recent
// days with the weakest sections marked, and the ways on from there.
class ProgressPage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProgressPage)

public:
    static inline const QColor WeakColor {214, 39, 40};
    static inline const QColor OtherColor {31, 119, 180};

    explicit ProgressPage(QWidget *parent = nullptr);

    // Reads the history again; a database error leaves the page empty and is shown.
    void refresh();
    // Shows the page as of the moment: the tests up to it and the sections of the recent days
    // before it.
    void refresh(const QDateTime &now);

    const QList<History::Entry> &entries() const { return m_entries; }
    const QList<History::SectionShare> &shares() const { return m_shares; }
    const QList<int> &weakest() const { return m_weakest; }
    // Open questions of the oral drill in each box 1 to 5; 0 counts those never judged.
    const QMap<int, int> &oralBoxes() const { return m_oralBoxes; }
    QString oralBoxesText() const;
    QAbstractItemModel *historyModel() const;
    QChart *percentChart() const;
    QChart *sectionChart() const;

signals:
    // "Ćwicz najsłabsze działy": a practice test of these sections.
    void practiceRequested(const QList<int> &sections);

private:
    void fillPercentChart();
    void fillSectionChart();
    void clearHistory();

    QLabel *m_empty;
    QTableView *m_list;
    QChartView *m_percentView;
    QChartView *m_sectionView;
    QPushButton *m_practice;
    QPushButton *m_clear;
    QLabel *m_oral;
    QList<History::Entry> m_entries;
    QList<History::SectionShare> m_shares;
    QList<int> m_weakest;
    QMap<int, int> m_oralBoxes;
};
