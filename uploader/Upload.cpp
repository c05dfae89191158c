// SPDX-License-Identifier: MIT
#include "uploader/Upload.h"

#include "uploader/MonitorReply.h"
#include "uploader/SRecord.h"

#include <QSerialPort>
#include <QTimer>
#include <cmath>

namespace {

constexpr int promptTries = 3;
constexpr int promptWaitMs = 400;
// Added to the line time and the store time of every exchange.
constexpr int replyMarginMs = 2000;
constexpr char escape = '\x1b';
// A line that is no record: it makes a 68000 load bad, so that the end record
// that follows returns the monitor to its prompt without reporting a load.
const QByteArray notARecord = "CANCEL";
// An end record any 68000 monitor takes, to leave a load left open earlier.
const QByteArray anyEndRecord = "S9030000FC";

QString quoted(const QByteArray &answer)
{
    QString text;
    for (char c : answer) {
        if (c == '\r')
            text += QLatin1String("\\r");
        else if (c == '\n')
            text += QLatin1String("\\n");
        else if (uchar(c) < 0x20 || uchar(c) >= 0x7F)
            text += QStringLiteral("\\x%1").arg(uchar(c), 2, 16, QLatin1Char('0'));
        else
            text += QLatin1Char(c);
    }
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

struct Upload::Private
{
    enum class Step
    {
        Idle,
        Prompt,  // CR sent, waiting for "> "
        Echo,    // "LO" sent, waiting for its echo (and "Ready")
        Record,  // a data record sent, waiting for its acknowledgement
        End,     // the end record sent, waiting for LOADED
        Abandon, // a line that is no record sent (cancel), waiting for its refusal
        Closing, // ESC or an end record sent after an error, waiting for the prompt
        Done,
    };

    Upload *q;
    BoardProfile profile;
    QByteArray image;
    QString name;

    bool prepared = false;
    QString prepareError;
    SRecordImage contents;
    QList<QByteArray> records; // the data records, then the end record
    QList<int> recordBytes;

    QSerialPort *port = nullptr;
    QList<QMetaObject::Connection> connections;
    QTimer timer;
    QByteArray received;
    Step step = Step::Idle;
    int tries = 0;
    int current = 0; // the data record in flight, or done so far
    qint64 bytesDone = 0;
    bool cancelRequested = false;
    QString pendingMessage; // reported once the monitor is back at its prompt

    int dataRecords() const { return int(records.size()) - 1; }
    // The device's path, as QSerialPort turns a port name into one.
    QString portName() const
    {
        const QString name = port ? port->portName() : QString();
        return name.startsWith(QLatin1Char('/')) ? name : QLatin1String("/dev/") + name;
    }
    QString recordName(int index) const
    {
        return QStringLiteral("record %1 of %2 (address %3)")
            .arg(index + 1)
            .arg(dataRecords())
            .arg(formatAddress(sRecordAddress(records[index])));
    }

    void send(const QByteArray &bytes, Step next, int answerCharacters, int storeMs,
              int marginMs = replyMarginMs)
    {
        step = next;
        port->write(bytes);
        // Hands the bytes to the driver now rather than at the next turn of the event
        // loop; it does not wait for them to leave (nothing but the answer says that).
        port->flush();
        // The line time of what is sent and of the answer, at 10 bits a character.
        const qint32 baud = port->baudRate() > 0 ? port->baudRate() : profile.baud;
        const double lineMs = 10000.0 * double(bytes.size() + answerCharacters) / baud;
        timer.start(int(std::ceil(lineMs)) + storeMs + marginMs);
    }
    void sendPromptRequest()
    {
        ++tries;
        received.clear();
        // A CPU32 monitor stopped by a bad record listens for ESC alone.
        const QByteArray request =
            (profile.monitor == BoardProfile::Monitor::Cpu32 && tries > 1) ? "\x1b\r" : "\r";
        send(request, Step::Prompt, 4, 0, promptWaitMs);
    }
    void sendRecord()
    {
        const QByteArray &record = records[current];
        send(record + '\r', current < dataRecords() ? Step::Record : Step::End, 30,
             profile.storeMilliseconds());
    }
    void sendClosing()
    {
        received.clear();
        if (profile.monitor == BoardProfile::Monitor::Cpu32)
            send(QByteArray(1, escape), Step::Closing, 4, 0);
        else
            send(records.last() + '\r', Step::Closing, 20, profile.storeMilliseconds());
    }
    // Ends with the monitor at its prompt (or as far as it could be brought).
    void closeWith(const QString &message)
    {
        pendingMessage = message;
        sendClosing();
    }

    void finish(bool succeeded, const QString &message)
    {
        if (step == Step::Done)
            return;
        step = Step::Done;
        timer.stop();
        for (const QMetaObject::Connection &connection : connections)
            QObject::disconnect(connection);
        connections.clear();
        emit q->finished(succeeded, message);
    }
    QString cancelledMessage() const
    {
        return QStringLiteral("Upload cancelled after %1 of %2 records.")
            .arg(current)
            .arg(dataRecords());
    }

    void onReadyRead();
    void onTimeout();
    void onPortError(QSerialPort::SerialPortError error);
    void afterAcknowledgement();
    void readRecordReply(bool endRecord);
};

Upload::Upload(const BoardProfile &profile, const QByteArray &image, const QString &name,
               QObject *parent)
    : QObject(parent), d(std::make_unique<Private>())
{
    d->q = this;
    d->profile = profile;
    d->image = image;
    d->name = name;
    d->timer.setSingleShot(true);
    connect(&d->timer, &QTimer::timeout, this, [this] { d->onTimeout(); });
}

Upload::~Upload()
{
    for (const QMetaObject::Connection &connection : d->connections)
        QObject::disconnect(connection);
}

bool Upload::prepare(QString *error)
{
    if (!d->prepared) {
        d->prepared = true;
        QString problem;
        if (!readSRecords(d->image, &d->contents, &problem)) {
            d->prepareError = QStringLiteral("%1: %2").arg(d->name, problem);
        } else {
            const BoardProfile &p = d->profile;
            // The lowest address outside the flash, if any.
            bool outside = false;
            quint64 first = 0;
            for (const auto &[address, data] : d->contents.segments) {
                const quint64 last = quint64(address) + quint64(data.size()) - 1;
                quint64 candidate = 0;
                if (address < p.flashFirst)
                    candidate = address;
                else if (last > p.flashLast)
                    candidate = std::max<quint64>(address, quint64(p.flashLast) + 1);
                else
                    continue;
                if (!outside || candidate < first)
                    first = candidate;
                outside = true;
            }
            if (outside) {
                d->prepareError = QStringLiteral("%1: the byte at %2 lies outside %3's flash "
                                                 "(%4-%5)")
                                      .arg(d->name, formatAddress(first), p.board,
                                           formatAddress(p.flashFirst), formatAddress(p.flashLast));
            } else if (!writeSRecords(d->contents, p.recordType, &d->records, &problem)) {
                d->prepareError = QStringLiteral("%1: %2").arg(d->name, problem);
            } else {
                for (const auto &[address, data] : d->contents.segments)
                    for (qsizetype offset = 0; offset < data.size(); offset += 32)
                        d->recordBytes.append(int(std::min<qsizetype>(32, data.size() - offset)));
            }
        }
    }
    if (!d->prepareError.isEmpty() && error)
        *error = d->prepareError;
    return d->prepareError.isEmpty();
}

int Upload::recordCount() const
{
    return d->records.isEmpty() ? 0 : d->dataRecords();
}

qint64 Upload::byteCount() const
{
    return d->contents.byteCount();
}

void Upload::start(QSerialPort *port)
{
    Q_ASSERT(d->step == Private::Step::Idle);
    QString error;
    if (!prepare(&error) || !port || !port->isOpen()) {
        if (error.isEmpty())
            error = QStringLiteral("The serial port is not open.");
        d->step = Private::Step::Prompt;
        // Reported from the event loop, as every other end is.
        QTimer::singleShot(0, this, [this, error] {
            d->finish(false, error + QLatin1String(" Nothing was sent."));
        });
        return;
    }
    d->port = port;
    d->connections.append(
        connect(port, &QSerialPort::readyRead, this, [this] { d->onReadyRead(); }));
    d->connections.append(connect(port, &QSerialPort::errorOccurred, this,
                                  [this](QSerialPort::SerialPortError e) { d->onPortError(e); }));
    port->clear(QSerialPort::Input);
    d->sendPromptRequest();
}

void Upload::cancel()
{
    if (d->step == Private::Step::Done || d->cancelRequested)
        return;
    d->cancelRequested = true;
    if (d->step == Private::Step::Idle)
        d->finish(false, d->cancelledMessage());
}

void Upload::Private::onPortError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::NoError:
    case QSerialPort::TimeoutError: // only from the blocking calls, which are not used
        return;
    default:
        break;
    }
    // A USB adapter unplugged gives ResourceError; a hung-up line ends reads (ReadError).
    const QString where = (step == Step::Record || step == Step::End)
                              ? QStringLiteral(" during %1").arg(recordName(current))
                              : QString();
    const QString reason = (error == QSerialPort::ResourceError || error == QSerialPort::ReadError)
                               ? QStringLiteral("the device went away or hung up")
                               : port->errorString();
    finish(false, QStringLiteral("Lost %1%2: %3.").arg(portName(), where, reason));
}

void Upload::Private::onReadyRead()
{
    const QByteArray text = port->readAll();
    if (text.isEmpty() || step == Step::Done)
        return;
    received += text;
    emit q->monitorText(text);

    switch (step) {
    case Step::Prompt:
        if (received.endsWith("> ")) {
            received.clear();
            timer.stop();
            if (cancelRequested) {
                finish(false, cancelledMessage());
                return;
            }
            send("LO\r", Step::Echo, 20, 0);
        } else if (profile.monitor == BoardProfile::Monitor::M68000 &&
                   received.contains("\r\nLINE ") && received.endsWith("\r\n")) {
            // Still in a load left open: close it as a bad one.
            received.clear();
            send(anyEndRecord + '\r', Step::Prompt, 20, profile.storeMilliseconds());
        }
        return;
    case Step::Echo: {
        const QByteArray expected = profile.monitor == BoardProfile::Monitor::M68000
                                        ? QByteArray("LO\r\n")
                                        : QByteArray("LO\r\nReady\r\n");
        if (received == expected) {
            received.clear();
            current = 0;
            afterAcknowledgement();
        } else if (!expected.startsWith(received)) {
            finish(false, QStringLiteral("The monitor on %1 did not start a load: it answered %2.")
                              .arg(portName(), quoted(received)));
        }
        return;
    }
    case Step::Record:
        readRecordReply(false);
        return;
    case Step::End:
        readRecordReply(true);
        return;
    case Step::Abandon: {
        const MonitorReply reply = readMonitorReply(profile.monitor, received, false);
        if (reply.kind == MonitorReply::Kind::Incomplete)
            return;
        received.clear();
        if (reply.kind == MonitorReply::Kind::Refused)
            closeWith(cancelledMessage());
        else
            finish(false, cancelledMessage() +
                              QStringLiteral(" The monitor answered %1 and may still be loading.")
                                  .arg(quoted(reply.text)));
        return;
    }
    case Step::Closing: {
        if (!received.endsWith("> "))
            return;
        const QByteArray answer = received.chopped(2).trimmed();
        finish(false,
               pendingMessage + (answer.isEmpty()
                                     ? QStringLiteral(" The monitor is back at its prompt.")
                                     : QStringLiteral(" The monitor is back at its prompt after "
                                                      "answering %1.")
                                           .arg(quoted(answer))));
        return;
    }
    case Step::Idle:
    case Step::Done:
        return;
    }
}

void Upload::Private::readRecordReply(bool endRecord)
{
    const MonitorReply reply = readMonitorReply(profile.monitor, received, endRecord);
    using Kind = MonitorReply::Kind;
    if (reply.kind == Kind::Incomplete)
        return;
    received.remove(0, reply.consumed);
    timer.stop();
    const QString what = endRecord ? QStringLiteral("the end record") : recordName(current);
    const QString answer = quoted(reply.text);
    switch (reply.kind) {
    case Kind::Accepted:
        bytesDone += recordBytes[current];
        ++current;
        emit q->progress(current, dataRecords(), bytesDone, contents.byteCount());
        if (!received.isEmpty()) {
            finish(false, QStringLiteral("The monitor on %1 answered %2 after %3.")
                              .arg(portName(), quoted(received), what));
            return;
        }
        afterAcknowledgement();
        return;
    case Kind::Loaded:
        if (!endRecord)
            break;
        if (reply.entry != contents.entry) {
            finish(false, QStringLiteral("The monitor reports %1, but the image's entry is %2.")
                              .arg(answer, formatAddress(contents.entry)));
            return;
        }
        finish(true, QStringLiteral("Loaded %1: %2 bytes in %3 records. The monitor answered %4.")
                         .arg(name)
                         .arg(contents.byteCount())
                         .arg(dataRecords())
                         .arg(answer));
        return;
    case Kind::Refused:
        closeWith(QStringLiteral("The monitor refused %1: it answered %2.").arg(what, answer));
        return;
    case Kind::Failed:
        finish(
            false,
            QStringLiteral("The monitor ended the load at %1: it answered %2.").arg(what, answer));
        return;
    case Kind::Incomplete:
    case Kind::Unexpected:
        break;
    }
    finish(false,
           QStringLiteral("The monitor on %1 answered %2 to %3.").arg(portName(), answer, what));
}

void Upload::Private::afterAcknowledgement()
{
    if (cancelRequested) {
        received.clear();
        send(notARecord + '\r', Step::Abandon, 30, 0);
        return;
    }
    sendRecord();
}

void Upload::Private::onTimeout()
{
    switch (step) {
    case Step::Prompt:
        if (cancelRequested) {
            finish(false, cancelledMessage());
            return;
        }
        if (tries < promptTries) {
            sendPromptRequest();
            return;
        }
        finish(false,
               QStringLiteral("No prompt from the boot monitor on %1 at %2 baud%3: is the board "
                              "on and in its boot monitor?")
                   .arg(portName())
                   .arg(port->baudRate())
                   .arg(received.isEmpty()
                            ? QString()
                            : QStringLiteral(" (it answered %1)").arg(quoted(received))));
        return;
    case Step::Echo:
        finish(false,
               QStringLiteral("The monitor on %1 did not answer LO%2.")
                   .arg(portName(), received.isEmpty()
                                        ? QString()
                                        : QStringLiteral(" (only %1)").arg(quoted(received))));
        return;
    case Step::Record:
    case Step::End:
        finish(false, QStringLiteral("The monitor on %1 did not acknowledge %2 within %3 ms%4.")
                          .arg(portName(), step == Step::End ? QStringLiteral("the end record")
                                                             : recordName(current))
                          .arg(timer.interval())
                          .arg(received.isEmpty()
                                   ? QString()
                                   : QStringLiteral(" (it answered %1)").arg(quoted(received))));
        return;
    case Step::Abandon:
    case Step::Closing:
        finish(false, (pendingMessage.isEmpty() ? cancelledMessage() : pendingMessage) +
                          QStringLiteral(" The monitor did not return to its prompt."));
        return;
    case Step::Idle:
    case Step::Done:
        return;
    }
}
