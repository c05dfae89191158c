// SPDX-License-Identifier: MIT
#include "launcher/CommandLine.h"
#include "launcher/QtTranslations.h"

#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QTest>

// The locale warning and Qt's own translations, which the launcher sets up
// before its window exists.
class TestLauncherLocale : public QObject
{
    Q_OBJECT

private slots:
    void localeWarning_data();
    void localeWarning();
    void qtStringsSpeakFrench();
};

void TestLauncherLocale::localeWarning_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("codeset");
    QTest::addColumn<bool>("warns");
    QTest::newRow("UTF-8") << "fr_FR.UTF-8"
                           << "UTF-8" << false;
    QTest::newRow("utf8 spelt otherwise") << "fr_FR.utf8"
                                          << "utf8" << false;
    QTest::newRow("Latin-1") << "fr_FR.ISO-8859-1"
                             << "ISO-8859-1" << true;
    QTest::newRow("Latin-9") << "fr_FR@euro"
                             << "ISO-8859-15" << true;
    QTest::newRow("C, an unset environment") << "C"
                                             << "ANSI_X3.4-1968" << false;
    QTest::newRow("POSIX") << "POSIX"
                           << "ANSI_X3.4-1968" << false;
}

void TestLauncherLocale::localeWarning()
{
    QFETCH(QString, locale);
    QFETCH(QString, codeset);
    QFETCH(bool, warns);
    const std::string line = ::localeWarning(locale.toStdString(), codeset.toStdString());
    if (!warns) {
        QCOMPARE(line, std::string());
        return;
    }
    // One English line that names the character set and says what is written.
    QVERIFY(line.find('\n') == std::string::npos);
    QVERIFY2(line.find(codeset.toStdString()) != std::string::npos, line.c_str());
    QVERIFY2(line.find("names are written as UTF-8") != std::string::npos, line.c_str());
}

void TestLauncherLocale::qtStringsSpeakFrench()
{
    const QString catalogue =
        QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_fr.qm");
    QVERIFY2(QFile::exists(catalogue),
             qPrintable(catalogue + QStringLiteral(" is missing (qt6-translations-l10n)")));
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QVERIFY(installQtTranslations(*QCoreApplication::instance()));
    QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Voir dans :"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Annuler"));
}

QTEST_MAIN(TestLauncherLocale)
#include "tst_launcher_locale.moc"
