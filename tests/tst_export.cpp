#include "backupmanager.h"
#include "testfixture.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Reads files the way a spreadsheet would: Python's csv module, strict about malformed quoting.
// Each file becomes its rows, preceded by a row holding "bom" when it starts with one.
QJsonObject parseCsv(const QStringList &paths)
{
    const QString reader = uR"(
import csv, json, sys
result = {}
for path in sys.argv[1:]:
    bom = open(path, 'rb').read(3) == b'\xef\xbb\xbf'
    with open(path, newline='', encoding='utf-8-sig') as f:
        rows = list(csv.reader(f, strict=True))
    result[path] = [['bom'] if bom else []] + rows
print(json.dumps(result))
)"_s;
    QProcess python;
    python.start(u"python3"_s, QStringList { u"-c"_s, reader } + paths);
    if (!python.waitForFinished(60000) || python.exitCode() != 0)
        QTest::qFail(python.readAllStandardError().constData(), __FILE__, __LINE__);
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

QList<QStringList> rowsOf(const QJsonObject &parsed, const QString &path)
{
    QList<QStringList> rows;
    for (const QJsonValue &row : parsed.value(path).toArray()) {
        rows.append(QStringList());
        for (const QJsonValue &field : row.toArray())
            rows.last().append(field.toString());
    }
    return rows;
}

} // namespace

class TestExport : public QObject
{
    Q_OBJECT

private slots:
    void exportsEveryTable();
    void formulaCellsAreShownNotRun_data();
    void formulaCellsAreShownNotRun();
    void aTableThatCannotBeWrittenFailsTheExport();
};

void TestExport::exportsEveryTable()
{
    FakeDesktop desktop;
    TestFixture f;
    BackupManager manager(f.dataDir());
    f.addUnit(f.addProperty(), u"A1"_s);
    // Text a spreadsheet would split or mangle unless quoted.
    const QStringList descriptions { u"واجهة بحرية"_s, u"a,b"_s, u"قال \"نعم\""_s, u"سطر\nثان"_s,
        u"a\r\nb"_s };
    for (const QString &description : descriptions) {
        f.insert(u"INSERT INTO properties (name, type, description) VALUES (?, ?, ?)"_s,
            { u"برج"_s, u"residential"_s, description });
    }

    QVERIFY(manager.exportAllToCSV());
    QCOMPARE(desktop.opened.size(), 1);
    const QString folder = desktop.opened.first().toLocalFile();
    QVERIFY(folder.startsWith(desktop.home() + u"/Desktop/"_s));
    QStringList files;
    QStringList paths;
    for (const QString &table : BackupManager::exportedTables()) {
        files.append(table + u".csv"_s);
        paths.append(folder + u"/"_s + table + u".csv"_s);
    }
    files.sort();
    QCOMPARE(QDir(folder).entryList(QDir::Files, QDir::Name), files);

    const QJsonObject parsed = parseCsv(paths);
    for (const QString &table : BackupManager::exportedTables()) {
        const QList<QStringList> rows = rowsOf(parsed, folder + u"/"_s + table + u".csv"_s);
        QVERIFY2(rows.size() >= 2 && rows.first() == QStringList { u"bom"_s }, qPrintable(table));
        QCOMPARE(rows.at(1), f.columnsOf(table));
        QCOMPARE(rows.size() - 2, f.count(table));
    }
    const QList<QStringList> properties = rowsOf(parsed, folder + u"/properties.csv"_s);
    const qsizetype column = f.columnsOf(u"properties"_s).indexOf(u"description"_s);
    QStringList exported;
    for (const QStringList &row : properties.mid(2)) {
        QCOMPARE(row.size(), properties.at(1).size());
        exported.append(row.at(column));
    }
    QCOMPARE(exported, QStringList { QString() } + descriptions);
}

void TestExport::formulaCellsAreShownNotRun_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("equals") << u"=HYPERLINK(\"http://x\",\"y\")"_s
                            << u"'=HYPERLINK(\"http://x\",\"y\")"_s;
    QTest::newRow("plus") << u"+1+cmd"_s << u"'+1+cmd"_s;
    QTest::newRow("minus") << u"-2+3"_s << u"'-2+3"_s;
    QTest::newRow("at") << u"@SUM(A1)"_s << u"'@SUM(A1)"_s;
    QTest::newRow("tab") << u"\t=1"_s << u"'\t=1"_s;
    QTest::newRow("carriage return") << u"\r=1"_s << u"'\r=1"_s;
    QTest::newRow("sign inside the text") << u"شقة =2"_s << u"شقة =2"_s;
}

void TestExport::formulaCellsAreShownNotRun()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    FakeDesktop desktop;
    TestFixture f;
    BackupManager manager(f.dataDir());
    // A negative number stored as a number is a figure, not a formula.
    f.insert(u"INSERT INTO properties (name, type, total_units, description) VALUES (?, ?, ?, ?)"_s,
        { u"برج"_s, u"residential"_s, -3, text });

    QVERIFY(manager.exportAllToCSV());
    const QString path = desktop.opened.value(0).toLocalFile() + u"/properties.csv"_s;
    const QList<QStringList> rows = rowsOf(parseCsv({ path }), path);
    QCOMPARE(rows.size(), 3);
    const QStringList columns = rows.at(1);
    QCOMPARE(rows.at(2).value(columns.indexOf(u"description"_s)), shown);
    QCOMPARE(rows.at(2).value(columns.indexOf(u"total_units"_s)), u"-3"_s);
}

void TestExport::aTableThatCannotBeWrittenFailsTheExport()
{
    FakeDesktop desktop;
    TestFixture f;
    BackupManager manager(f.dataDir());
    // A server keeps the other tables' references to it unless told to drop them too.
    QVERIFY(f.db()->execNonQuery(
        f.db()->isServer() ? u"DROP TABLE cheques CASCADE"_s : u"DROP TABLE cheques"_s));
    QSignalSpy errors(&manager, &BackupManager::backupError);

    QVERIFY(!manager.exportAllToCSV());
    QCOMPARE(errors.count(), 1);
    QVERIFY(errors.first().first().toString().contains(u"cheques"_s));
    QCOMPARE(desktop.opened.size(), 0);
}

QTEST_GUILESS_MAIN(TestExport)
#include "tst_export.moc"
