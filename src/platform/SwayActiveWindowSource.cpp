// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SwayActiveWindowSource.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalSocket>
#include <QtEndian>

#include <cstring>

namespace {

// The i3 IPC frame: "i3-ipc", payload length and message type in the host's byte order.
constexpr char kMagic[] = "i3-ipc";
constexpr qsizetype kMagicSize = 6;
constexpr qsizetype kHeaderSize = kMagicSize + 8;
constexpr quint32 kSubscribe = 2;
constexpr quint32 kGetTree = 4;
constexpr quint32 kEventBit = 0x80000000u;
constexpr quint32 kWorkspaceEvent = kEventBit | 0;
constexpr quint32 kWindowEvent = kEventBit | 3;
constexpr int kTimeoutMs = 2000;

QByteArray frame(quint32 type, const QByteArray &payload)
{
    QByteArray out(kMagic, kMagicSize);
    const quint32 header[2] = {quint32(payload.size()), type};
    out.append(reinterpret_cast<const char *>(header), sizeof header);
    return out + payload;
}

// One message off the front of buffer, if a whole one is there.
bool takeMessage(QByteArray *buffer, quint32 *type, QByteArray *payload)
{
    if (buffer->size() < kHeaderSize) {
        return false;
    }
    quint32 header[2];
    std::memcpy(header, buffer->constData() + kMagicSize, sizeof header);
    if (buffer->size() < kHeaderSize + qsizetype(header[0])) {
        return false;
    }
    *type = header[1];
    *payload = buffer->mid(kHeaderSize, header[0]);
    buffer->remove(0, kHeaderSize + header[0]);
    return true;
}

// Sends one request and waits for its answer on a connection of its own.
std::optional<QByteArray> ask(const QString &socketPath, quint32 type, const QByteArray &payload)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(kTimeoutMs)) {
        return std::nullopt;
    }
    socket.write(frame(type, payload));
    socket.waitForBytesWritten(kTimeoutMs);
    QByteArray buffer;
    quint32 answerType = 0;
    QByteArray answer;
    while (!takeMessage(&buffer, &answerType, &answer)) {
        if (!socket.waitForReadyRead(kTimeoutMs)) {
            return std::nullopt;
        }
        buffer += socket.readAll();
    }
    return answer;
}

bool findFocused(const QJsonObject &node, QJsonObject *found)
{
    if (node.value(QLatin1String("focused")).toBool()) {
        *found = node;
        return true;
    }
    for (const char *key : {"nodes", "floating_nodes"}) {
        for (const QJsonValue &child : node.value(QLatin1String(key)).toArray()) {
            if (findFocused(child.toObject(), found)) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

ActiveWindow SwayActiveWindowSource::windowOf(const QJsonObject &node)
{
    ActiveWindow w;
    const QString type = node.value(QLatin1String("type")).toString();
    if (type != QLatin1String("con") && type != QLatin1String("floating_con")) {
        return w; // a workspace or an output: no application
    }
    w.applicationId = node.value(QLatin1String("app_id")).toString();
    const QJsonObject x11 = node.value(QLatin1String("window_properties")).toObject();
    w.wmClass = x11.value(QLatin1String("class")).toString();
    w.wmInstance = x11.value(QLatin1String("instance")).toString();
    // A split container, or a window that names no application, is not named after its
    // process: that would be a guess.
    if (!w.applicationId.isEmpty() || !w.wmClass.isEmpty() || !w.wmInstance.isEmpty()) {
        w.pid = node.value(QLatin1String("pid")).toInteger();
    }
    return w;
}

ActiveWindow SwayActiveWindowSource::focusedIn(const QJsonObject &tree)
{
    QJsonObject focused;
    return findFocused(tree, &focused) ? windowOf(focused) : ActiveWindow{};
}

std::unique_ptr<SwayActiveWindowSource> SwayActiveWindowSource::open(const QString &socketPath, QString *error)
{
    auto events = std::make_unique<QLocalSocket>();
    events->connectToServer(socketPath);
    if (!events->waitForConnected(kTimeoutMs)) {
        if (error) {
            *error = QStringLiteral("cannot connect to %1: %2").arg(socketPath, events->errorString());
        }
        return nullptr;
    }
    events->write(frame(kSubscribe, R"(["window","workspace"])"));
    events->waitForBytesWritten(kTimeoutMs);
    QByteArray buffer;
    quint32 type = 0;
    QByteArray answer;
    while (!takeMessage(&buffer, &type, &answer)) {
        if (!events->waitForReadyRead(kTimeoutMs)) {
            if (error) {
                *error = QStringLiteral("%1 did not answer the subscription").arg(socketPath);
            }
            return nullptr;
        }
        buffer += events->readAll();
    }
    if (!QJsonDocument::fromJson(answer).object().value(QLatin1String("success")).toBool()) {
        if (error) {
            *error = QStringLiteral("%1 refused the subscription").arg(socketPath);
        }
        return nullptr;
    }
    auto source = std::unique_ptr<SwayActiveWindowSource>(new SwayActiveWindowSource(socketPath, std::move(events)));
    source->m_buffer = buffer;
    return source;
}

SwayActiveWindowSource::SwayActiveWindowSource(QString socketPath, std::unique_ptr<QLocalSocket> events)
    : m_socketPath(std::move(socketPath)), m_events(std::move(events))
{
    connect(m_events.get(), &QLocalSocket::readyRead, this, &SwayActiveWindowSource::readEvents);
}

SwayActiveWindowSource::~SwayActiveWindowSource() = default;

std::optional<ActiveWindow> SwayActiveWindowSource::current()
{
    const std::optional<QByteArray> tree = ask(m_socketPath, kGetTree, {});
    if (!tree) {
        return std::nullopt;
    }
    const ActiveWindow w = focusedIn(QJsonDocument::fromJson(*tree).object());
    m_last = w;
    if (w.isEmpty()) {
        return std::nullopt;
    }
    return w;
}

void SwayActiveWindowSource::readEvents()
{
    m_buffer += m_events->readAll();
    quint32 type = 0;
    QByteArray payload;
    while (takeMessage(&m_buffer, &type, &payload)) {
        handleEvent(type, payload);
    }
}

void SwayActiveWindowSource::handleEvent(quint32 type, const QByteArray &payload)
{
    const QJsonObject event = QJsonDocument::fromJson(payload).object();
    const QString change = event.value(QLatin1String("change")).toString();
    if (type == kWindowEvent && change == QLatin1String("focus")) {
        report(windowOf(event.value(QLatin1String("container")).toObject()));
    } else if ((type == kWindowEvent && change == QLatin1String("close")) ||
               (type == kWorkspaceEvent && change == QLatin1String("focus"))) {
        // Focus may now be on an empty workspace, which sends no window event: ask.
        if (const std::optional<QByteArray> tree = ask(m_socketPath, kGetTree, {})) {
            report(focusedIn(QJsonDocument::fromJson(*tree).object()));
        }
    }
}
