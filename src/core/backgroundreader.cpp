#include "backgroundreader.h"

#include "database.h"

#include <QJsonDocument>
#include <QMetaMethod>
#include <QMutexLocker>
#include <QVarLengthArray>
#ifdef __GLIBC__
#include <malloc.h>
#endif

using namespace Qt::StringLiterals;

namespace {

QMutex s_waitingLock;

QString keyOf(const QString &object, const QString &method, const QVariantList &arguments)
{
    return object + u'.' + method + u'('
        + QString::fromUtf8(QJsonDocument::fromVariant(arguments).toJson(QJsonDocument::Compact))
        + u')';
}

} // namespace

BackgroundReader::BackgroundReader(const QString &target, Database *window, QObject *parent)
    : QObject(parent)
    , m_target(target)
    , m_window(window)
{
    m_context = new QObject;
    if (m_target.isEmpty())
        return;
    m_thread.setObjectName(u"background reads"_s);
    m_context->moveToThread(&m_thread);
    m_thread.start(QThread::LowPriority);
}

BackgroundReader::~BackgroundReader()
{
    // The connection and its objects belong to the thread: they go before it ends.
    if (m_thread.isRunning()) {
        QMetaObject::invokeMethod(
            m_context, [this]() { close(); }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    } else {
        close();
    }
    delete m_context;
}

void BackgroundReader::registerObject(const QString &name, const Factory &factory)
{
    m_factories.insert(name, factory);
}

int BackgroundReader::call(
    const QString &object, const QString &method, const QVariantList &arguments)
{
    const QString key = keyOf(object, method, arguments);
    int ticket = 0;
    {
        QMutexLocker locker(&s_waitingLock);
        if (const auto queued = m_waiting.constFind(key); queued != m_waiting.cend())
            return queued.value();
        ticket = m_nextTicket++;
        m_waiting.insert(key, ticket);
    }
    ++m_pending;
    emit pendingChanged();
    QMetaObject::invokeMethod(
        m_context,
        [this, key, ticket, object, method, arguments]() {
            {
                QMutexLocker locker(&s_waitingLock);
                m_waiting.remove(key);
            }
            const QVariant result = invoke(object, method, arguments);
#ifdef __GLIBC__
            // A figure over a million rows leaves this thread's heap with tens of megabytes
            // free that the allocator would otherwise keep for the life of the window.
            malloc_trim(0);
#endif
            QMetaObject::invokeMethod(
                this,
                [this, ticket, result]() {
                    --m_pending;
                    emit finished(ticket, result);
                    m_delivering = ticket;
                    m_delivered = result;
                    emit ready(ticket);
                    m_delivering = 0;
                    m_delivered = QVariant();
                    emit pendingChanged();
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
    return ticket;
}

QVariant BackgroundReader::result(int ticket) const
{
    return ticket != 0 && ticket == m_delivering ? m_delivered : QVariant();
}

bool BackgroundReader::resultInto(int ticket, QObject *target) const
{
    if (!target || ticket == 0 || ticket != m_delivering)
        return false;
    return QMetaObject::invokeMethod(target, "setRows", Q_ARG(QVariant, m_delivered));
}

void BackgroundReader::reopen()
{
    QMetaObject::invokeMethod(
        m_context, [this]() { close(); }, Qt::QueuedConnection);
}

void BackgroundReader::close()
{
    qDeleteAll(m_objects);
    m_objects.clear();
    m_database.reset();
    m_reading = nullptr;
    m_opened = false;
}

void BackgroundReader::open()
{
    m_opened = true;
    if (m_target.isEmpty()) {
        m_reading = m_window;
        return;
    }
    static QAtomicInt connections;
    m_database = std::make_unique<Database>();
    if (!m_database->initialize(
            m_target, u"background reads %1"_s.arg(connections.fetchAndAddRelaxed(1)))) {
        qWarning("Background reads: the second connection did not open");
        m_database.reset();
    } else if (!m_database->isServer()) {
        // These reads sweep whole tables: through a small cache of their own rather than the
        // memory map, which would keep every page they touched in the process's memory. A
        // sweep gains nothing from a larger cache (at ten times the large portfolio, 32 MB
        // read the arrears no faster than 8 MB and cost 66 MB more at the peak); the operating
        // system keeps the file's pages.
        m_database->execNonQuery(u"PRAGMA mmap_size=0"_s);
        m_database->execNonQuery(u"PRAGMA cache_size=-8000"_s);
        // Their sorts and groupings over a million rows spill to a temporary file rather than
        // growing the heap by hundreds of megabytes that the process keeps.
        m_database->execNonQuery(u"PRAGMA temp_store=FILE"_s);
    }
    m_reading = m_database.get();
}

QVariant BackgroundReader::invoke(
    const QString &object, const QString &method, const QVariantList &arguments)
{
    if (!m_opened)
        open();
    if (!m_reading)
        return {};
    QObject *target = m_objects.value(object);
    if (!target) {
        const auto factory = m_factories.constFind(object);
        if (factory == m_factories.cend()) {
            qWarning("Background reads: no object %s", qPrintable(object));
            return {};
        }
        target = factory.value()(m_reading);
        m_objects.insert(object, target);
    }
    const QMetaObject *meta = target->metaObject();
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod candidate = meta->method(i);
        if (candidate.name() != method.toLatin1() || candidate.parameterCount() != arguments.size()
            || candidate.parameterCount() > 10)
            continue;
        QVarLengthArray<QVariant, 10> values;
        for (int p = 0; p < arguments.size(); ++p) {
            QVariant value = arguments.at(p);
            if (!value.convert(candidate.parameterMetaType(p)))
                value = QVariant(candidate.parameterMetaType(p));
            values.append(value);
        }
        QGenericArgument given[10];
        for (int p = 0; p < values.size(); ++p)
            given[p] = QGenericArgument(values[p].typeName(), values[p].constData());
        QVariant result(candidate.returnMetaType());
        const bool returns = candidate.returnMetaType().id() != QMetaType::Void;
        const QGenericReturnArgument back = returns
            ? QGenericReturnArgument(candidate.typeName(), result.data())
            : QGenericReturnArgument();
        if (!candidate.invoke(target, Qt::DirectConnection, back, given[0], given[1], given[2],
                given[3], given[4], given[5], given[6], given[7], given[8], given[9]))
            return {};
        return result;
    }
    qWarning("Background reads: no method %s.%s taking %lld arguments", qPrintable(object),
        qPrintable(method), qlonglong(arguments.size()));
    return {};
}
