#include "shell/qttranslations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Qt's own dialogs speak Polish once its translations are loaded. The cases
// run in order: the missing file first, since an installed translation stays
// for the rest of the process.
class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void missingTranslationsLeaveEnglish();
    void standardButtonsAndFileDialogInPolish();

private:
    static QString buttonText(QMessageBox::StandardButton which)
    {
        QMessageBox box(QMessageBox::Question, u"Voltaris"_s, u"?"_s, QMessageBox::Yes | QMessageBox::No);
        return box.button(which)->text();
    }
};

void TestTranslations::missingTranslationsLeaveEnglish()
{
    QTemporaryDir empty;
    QVERIFY(empty.isValid());
    QVERIFY(!installQtTranslations(qApp, empty.path()));
    QCOMPARE(buttonText(QMessageBox::Yes), u"&Yes"_s);
}

void TestTranslations::standardButtonsAndFileDialogInPolish()
{
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + u"/qtbase_pl.qm"_s))
        QSKIP("Qt's Polish translations are not installed (qt6-translations-l10n)");
    QVERIFY(installQtTranslations(qApp));
    QCOMPARE(buttonText(QMessageBox::Yes), u"&Tak"_s);
    QCOMPARE(buttonText(QMessageBox::No), u"&Nie"_s);

    QFileDialog dialog(nullptr, u"Zapisz dokument"_s);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QCOMPARE(dialog.findChild<QLabel *>(u"lookInLabel"_s)->text(), u"Szukaj w:"_s);
    QCOMPARE(dialog.findChild<QLabel *>(u"fileNameLabel"_s)->text(), u"Nazwa &pliku:"_s);
    const auto *buttons = dialog.findChild<QDialogButtonBox *>(u"buttonBox"_s);
    QCOMPARE(buttons->button(QDialogButtonBox::Save)->text(), u"&Zachowaj"_s);
}

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
