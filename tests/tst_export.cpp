#include "backupmanager.h"
#include "testfixture.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlDatabase>
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

} // namespace

class TestExport : public QObject
{
    Q_OBJECT

private slots:
    void exportsEveryTable();
    void failures_data();
    void failures();
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

    const QHash<QString, ParsedCsv> parsed = parseCsv(paths);
    for (const QString &table : BackupManager::exportedTables()) {
        const ParsedCsv csv = parsed.value(folder + u"/"_s + table + u".csv"_s);
        QVERIFY2(csv.bom, qPrintable(table));
        QVERIFY2(!csv.rows.isEmpty(), qPrintable(table));
        QCOMPARE(csv.rows.first(), f.columnsOf(table));
        QCOMPARE(csv.rows.size() - 1, f.count(table));
    }
    const ParsedCsv properties = parsed.value(folder + u"/properties.csv"_s);
    const qsizetype column = f.columnsOf(u"properties"_s).indexOf(u"description"_s);
    QStringList exported;
    for (const QStringList &row : properties.rows.mid(2)) {
        QCOMPARE(row.size(), properties.rows.first().size());
        exported.append(row.at(column));
    }
    QCOMPARE(exported, descriptions);
    QCOMPARE(properties.rows.at(1).at(column), QString());
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
