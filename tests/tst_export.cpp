#include "backupmanager.h"
#include "testfixture.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QStandardPaths>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

// Reads files the way a spreadsheet would: Python's csv module, strict about malformed quoting.
const QString csvReader = uR"(
import csv, json, sys
result = {}
for path in sys.argv[1:]:
    raw = open(path, 'rb').read()
    with open(path, newline='', encoding='utf-8-sig') as f:
        result[path] = {'bom': raw.startswith(b'\xef\xbb\xbf'), 'rows': list(csv.reader(f, strict=True))}
print(json.dumps(result))
)"_s;

struct ParsedCsv
{
    bool bom = false;
    QList<QStringList> rows;
};

// One interpreter for all files: starting Python is the slow part.
QHash<QString, ParsedCsv> parseCsv(const QStringList &paths)
{
    QHash<QString, ParsedCsv> parsed;
    QProcess python;
    python.start(u"python3"_s, QStringList { u"-c"_s, csvReader } + paths);
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        QTest::qFail(python.readAllStandardError().constData(), __FILE__, __LINE__);
        return parsed;
    }
    const QJsonObject files = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
    for (auto file = files.constBegin(); file != files.constEnd(); ++file) {
        const QJsonObject result = file.value().toObject();
        ParsedCsv &csv = parsed[file.key()];
        csv.bom = result.value(u"bom"_s).toBool();
        for (const QJsonValue &row : result.value(u"rows"_s).toArray()) {
            QStringList fields;
            for (const QJsonValue &field : row.toArray())
                fields.append(field.toString());
            csv.rows.append(fields);
        }
    }
    return parsed;
}

ParsedCsv parseCsv(const QString &path) { return parseCsv(QStringList { path }).value(path); }

} // namespace

class TestExport : public QObject
{
    Q_OBJECT

private slots:
    void exportsEveryTable();
    void values_data();
    void values();
    void sameMinuteOverwrites();
    void failures_data();
    void failures();
};

void TestExport::exportsEveryTable()
{
    FakeDesktop desktop;
    TestFixture f;
    BackupManager manager(f.dataDir());
    f.addUnit(f.addProperty(), u"A1"_s);

    QVERIFY(manager.exportAllToCSV());
    QCOMPARE(desktop.opened.size(), 1);
    const QString folder = desktop.opened.first().toLocalFile();
    QVERIFY(folder.startsWith(desktop.home() + u"/Desktop/Belvardino_Export_"_s));
    QVERIFY(QRegularExpression(u"Belvardino_Export_\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d$"_s)
                .match(folder)
                .hasMatch());

    QStringList expectedFiles;
    for (const QString &table : BackupManager::exportedTables())
        expectedFiles.append(table + u".csv"_s);
    expectedFiles.sort();
    QCOMPARE(QDir(folder).entryList(QDir::Files, QDir::Name), expectedFiles);

    QStringList paths;
    for (const QString &table : BackupManager::exportedTables())
        paths.append(folder + u"/"_s + table + u".csv"_s);
    const QHash<QString, ParsedCsv> files = parseCsv(paths);
    QCOMPARE(files.size(), paths.size());
    for (const QString &table : BackupManager::exportedTables()) {
        const ParsedCsv csv = files.value(folder + u"/"_s + table + u".csv"_s);
        QVERIFY2(csv.bom, qPrintable(table));
        QVERIFY2(!csv.rows.isEmpty(), qPrintable(table));
        QCOMPARE(csv.rows.first(), f.columnsOf(table));
        QCOMPARE(csv.rows.size() - 1, f.count(table));
    }
    // An empty table still has its header line, and nothing else.
    QFile cheques(folder + u"/cheques.csv"_s);
    QVERIFY(cheques.open(QIODevice::ReadOnly));
    QCOMPARE(
        cheques.readAll(), "\xEF\xBB\xBF" + f.columnsOf(u"cheques"_s).join(u',').toUtf8() + '\n');
}

void TestExport::values_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("field");
    QTest::newRow("plain Arabic text") << QVariant(u"واجهة بحرية"_s) << u"واجهة بحرية"_s;
    QTest::newRow("comma") << QVariant(u"a,b"_s) << u"\"a,b\""_s;
    QTest::newRow("double quote") << QVariant(u"قال \"نعم\""_s) << u"\"قال \"\"نعم\"\"\""_s;
    QTest::newRow("line feed") << QVariant(u"سطر\nثان"_s) << u"\"سطر\nثان\""_s;
    QTest::newRow("carriage return") << QVariant(u"a\r\nb"_s) << u"\"a\r\nb\""_s;
    QTest::newRow("null") << QVariant() << QString();
}

void TestExport::values()
{
    QFETCH(QVariant, value);
    QFETCH(QString, field);
    FakeDesktop desktop;
    TestFixture f;
    BackupManager manager(f.dataDir());
    const int id = f.insert(u"INSERT INTO properties (name, type, description) VALUES (?, ?, ?)"_s,
        { u"برج"_s, u"residential"_s, value });
    const QVariantMap stored = f.db()->getById(u"properties"_s, id);

    QVERIFY(manager.exportAllToCSV());
    const QString file = desktop.opened.first().toLocalFile() + u"/properties.csv"_s;
    QFile raw(file);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    const QString line = u"%1,برج,residential,,,%2,0,active,%3,%4\n"_s.arg(QString::number(id),
        field, stored.value(u"created_at"_s).toString(), stored.value(u"updated_at"_s).toString());
    QVERIFY2(QString::fromUtf8(raw.readAll()).contains(line), qPrintable(line));

    const ParsedCsv csv = parseCsv(file);
    QCOMPARE(csv.rows.size(), 2);
    const QStringList columns = f.columnsOf(u"properties"_s);
    QCOMPARE(csv.rows.at(1).size(), columns.size());
    QCOMPARE(csv.rows.at(1).at(columns.indexOf(u"description"_s)), value.toString());
    QCOMPARE(csv.rows.at(1).at(columns.indexOf(u"address"_s)), QString());
}

void TestExport::sameMinuteOverwrites()
{
    FakeDesktop desktop;
    TestFixture f;
    BackupManager manager(f.dataDir());
    // Both exports must fall in one minute to share a folder.
    QTRY_VERIFY_WITH_TIMEOUT(QTime::currentTime().second() < 55, 10000);
    f.addTenant(u"الأول"_s);
    QVERIFY(manager.exportAllToCSV());
    f.addTenant(u"الثاني"_s);
    QVERIFY(manager.exportAllToCSV());

    QCOMPARE(desktop.opened.size(), 2);
    QCOMPARE(desktop.opened.at(0), desktop.opened.at(1));
    const ParsedCsv csv = parseCsv(desktop.opened.first().toLocalFile() + u"/tenants.csv"_s);
    QCOMPARE(csv.rows.size(), 3);
    QCOMPARE(csv.rows.first(), f.columnsOf(u"tenants"_s));
}

void TestExport::failures_data()
{
    QTest::addColumn<bool>("desktopBlocked");
    QTest::addColumn<QString>("message");
    QTest::newRow("export folder cannot be created") << true << u"Failed to create export folder"_s;
    QTest::newRow("database not connected") << false << u"Database not connected"_s;
}

void TestExport::failures()
{
    QFETCH(bool, desktopBlocked);
    QFETCH(QString, message);
    FakeDesktop desktop;
    TestFixture f;
    BackupManager manager(f.dataDir());
    if (desktopBlocked) {
        QFile blocker(desktop.home() + u"/Desktop"_s);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    } else {
        QSqlDatabase::database().close();
    }

    QSignalSpy errors(&manager, &BackupManager::backupError);
    QVERIFY(!manager.exportAllToCSV());
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.first().first().toString(), message);
    QCOMPARE(desktop.opened.size(), 0);
}

QTEST_GUILESS_MAIN(TestExport)
#include "tst_export.moc"
