// SPDX-License-Identifier: MIT
#include "tests/uploader/FakeMonitor.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

using Clock = std::chrono::steady_clock;

namespace {

constexpr int maxLine = 78;
constexpr auto loadTimeout = std::chrono::seconds(5);

// A hex digit's value, or -1.
int hex(char c)
{
    return int(QByteArrayView("0123456789ABCDEF").indexOf(char(std::toupper(uchar(c)))));
}

} // namespace

FakeMonitor::FakeMonitor(const Options &options)
    : m_options(options), m_characterTime(std::chrono::nanoseconds(10'000'000'000LL / options.baud))
{}

FakeMonitor::~FakeMonitor()
{
    m_stop = true;
    if (m_wake[1] >= 0 && ::write(m_wake[1], "x", 1) < 0)
        std::perror("FakeMonitor: waking its thread");
    if (m_thread.joinable())
        m_thread.join();
    for (int fd : {m_master.load(), m_slave, m_wake[0], m_wake[1]})
        if (fd >= 0)
            ::close(fd);
}

bool FakeMonitor::start(QString *error)
{
    char name[128] = {};
    int master = -1;
    if (::openpty(&master, &m_slave, name, nullptr, nullptr) != 0 || ::pipe2(m_wake, O_CLOEXEC) ||
        ::fcntl(master, F_SETFD, FD_CLOEXEC) != 0 || ::fcntl(m_slave, F_SETFD, FD_CLOEXEC) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    // Raw until the uploader sets the line up; the monitor's side keeps the
    // slave open so that reads block between programs instead of failing.
    termios settings;
    ::tcgetattr(m_slave, &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(m_slave, TCSANOW, &settings);
    m_devicePath = QString::fromLocal8Bit(name);
    m_master = master;
    if (m_options.silentAfterRecords == 0)
        m_state = State::Silent;
    m_thread = std::thread([this] { run(); });
    return true;
}

FakeMonitor::Result FakeMonitor::result() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_result;
}

bool FakeMonitor::waitForRecords(int records, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return m_result.dataRecords >= records || m_loadEnded; });
}

void FakeMonitor::run()
{
    // A monitor keeps its own time: no timer slack added to the line's.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    char buffer[512];
    auto lastCharacter = Clock::now();
    while (!m_stop && m_master >= 0) {
        pollfd fds[2] = {{m_master, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        int timeoutMs = 100;
        if (m_state == State::Load) {
            const auto left = lastCharacter + loadTimeout - Clock::now();
            timeoutMs = int(std::max<qint64>(
                0, std::chrono::duration_cast<std::chrono::milliseconds>(left).count()));
        }
        const int ready = ::poll(fds, 2, timeoutMs);
        if (m_stop)
            break;
        if (ready == 0) {
            if (m_state == State::Load && Clock::now() >= lastCharacter + loadTimeout)
                endLoad("\r\nTIMEOUT\r\n> ");
            continue;
        }
        if (ready < 0 || !(fds[0].revents & POLLIN))
            continue;
        const ssize_t count = ::read(m_master, buffer, sizeof buffer);
        if (count <= 0)
            continue;
        // Each character ends its frame 10 bits after the one before it, or
        // after it was written if the line was idle.
        const auto now = Clock::now();
        if (m_lastArrival < now)
            m_lastArrival = now;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_result.charactersReceived += count;
        }
        m_pending = QByteArray(buffer, int(count));
        m_pendingIndex = 0;
        while (m_pendingIndex < m_pending.size() && m_master >= 0) {
            m_lastArrival += m_characterTime;
            handle(m_pending[m_pendingIndex++]);
        }
        lastCharacter = m_lastArrival;
    }
}

void FakeMonitor::answer(const QByteArray &text)
{
    if (m_state == State::Silent || m_master < 0)
        return;
    // Sent at the line rate: the last character is read once its frame is over.
    std::this_thread::sleep_for(m_characterTime * text.size());
    // A monitor talks on whether anyone listens: a failed write is not its concern.
    if (::write(m_master, text.constData(), size_t(text.size())) < 0)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_result.sent += text;
}

int FakeMonitor::drainLost()
{
    // Whatever is waiting now was sent before the acknowledgement: lost.
    int lost = int(m_pending.size() - m_pendingIndex);
    const int alreadyCounted = lost;
    m_pending.clear();
    m_pendingIndex = 0;
    char buffer[512];
    pollfd fd = {m_master, POLLIN, 0};
    while (::poll(&fd, 1, 0) > 0 && (fd.revents & POLLIN)) {
        const ssize_t count = ::read(m_master, buffer, sizeof buffer);
        if (count <= 0)
            break;
        lost += int(count);
    }
    if (lost > 0) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_result.lostCharacters += lost;
        m_result.charactersReceived += lost - alreadyCounted;
    }
    return lost;
}

void FakeMonitor::endLoad(const QByteArray &text, std::optional<quint32> entry)
{
    m_state = State::Prompt;
    answer(text);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (entry) {
        m_result.entry = *entry;
        ++m_result.loads;
    }
    m_result.atPrompt = true;
    m_loadEnded = true;
    m_changed.notify_all();
}

void FakeMonitor::handle(char c)
{
    if (c == '\n') // ignored in every state
        return;
    switch (m_state) {
    case State::Silent:
        return;
    case State::Ignoring:
        if (c == '\x1b') {
            std::this_thread::sleep_until(m_lastArrival);
            endLoad("\r\n> ");
        }
        return;
    case State::Prompt:
        std::this_thread::sleep_until(m_lastArrival);
        if (c != '\r') {
            m_line += c;
            answer(QByteArray(1, c));
            return;
        }
        if (m_line.isEmpty()) {
            answer("\r\n> ");
        } else if (m_line == "LO") {
            drainLost();
            answer(m_options.kind == Kind::M68000 ? "\r\n" : "\r\nReady\r\n");
            m_state = State::Load;
            m_loadLine = 0;
            m_loadBad = false;
            std::lock_guard<std::mutex> lock(m_mutex);
            m_result.atPrompt = false;
            m_loadEnded = false;
        } else {
            answer("\r\n?\r\n> ");
        }
        m_line.clear();
        return;
    case State::Load:
        if (c != '\r') {
            if (m_line.size() <= maxLine)
                m_line += c;
            return;
        }
        std::this_thread::sleep_until(m_lastArrival);
        ++m_loadLine;
        endOfLoadLine();
        m_line.clear();
        return;
    }
}

void FakeMonitor::endOfLoadLine()
{
    const bool m68000 = m_options.kind == Kind::M68000;
    if (m_dataRecords == m_options.vanishAfterRecords) {
        ::close(m_master.exchange(-1));
        return;
    }
    QByteArray line = m_line;
    if (m_loadLine == m_options.noiseInLine && line.size() > 4)
        line[4] = line[4] == '0' ? '1' : '0';

    // The 68000 names the line and loads on; the CPU32 ignores the rest of the load.
    const auto refuse = [&](const char *m68000Word, const char *cpu32Text) {
        m_loadBad = true;
        if (m68000) {
            answer("\r\n" + QByteArray(m68000Word) + ' ' +
                   QByteArray::number(m_loadLine, 16).toUpper() + "\r\n");
        } else {
            answer("\r\n" + QByteArray(cpu32Text) + "\r\n");
            m_state = State::Ignoring;
        }
    };
    if (line.size() > maxLine || line.size() < 4 || line[0] != 'S' || hex(line[1]) < 0)
        return refuse("LINE", "Bad record.");
    const int type = line[1] - '0';
    // Hex digits, count and checksum.
    QByteArray bytes;
    quint8 sum = 0; // of every byte: 0xFF when the checksum is right
    bool hexOk = line.size() % 2 == 0;
    for (int i = 2; hexOk && i + 1 < line.size(); i += 2) {
        const int high = hex(line[i]), low = hex(line[i + 1]);
        hexOk = high >= 0 && low >= 0;
        bytes.append(char(high * 16 + low));
        sum += quint8(bytes.back());
    }
    if (!hexOk || bytes.size() < 2 || quint8(bytes[0]) != bytes.size() - 1 || sum != 0xFF)
        return refuse("CHKSUM", "Bad checksum.");

    const bool ignored = m68000 ? (type == 0 || type == 3 || type == 7) : type == 0;
    const bool data = type >= 1 && type <= 3 && !ignored;
    const bool end = (m68000 ? (type == 8 || type == 9) : type >= 7);
    if (ignored && m68000)
        return; // silently
    const int addressSize = type == 0 ? 2 : (type <= 3 ? type + 1 : 11 - type);
    if ((!data && !end && !ignored) || bytes.size() < 2 + addressSize)
        return refuse("LINE", "Bad record.");
    quint32 address = 0;
    for (int i = 0; i < addressSize; ++i)
        address = (address << 8) | quint8(bytes[1 + i]);

    if (end) {
        const QByteArray entry = QByteArray::number(address, 16).toUpper();
        if (m_loadBad)
            return endLoad("\r\nERROR\r\n> ");
        if (m68000)
            return endLoad("\r\nLOADED " + entry.rightJustified(6, '0') + "\r\n> ", address);
        return endLoad("\r\nLoaded, entry " + entry.rightJustified(8, '0') + "\r\n> ", address);
    }

    const QByteArray payload = bytes.mid(1 + addressSize, bytes.size() - 2 - addressSize);
    if (data && (address < m_options.flashFirst ||
                 quint64(address) + quint64(payload.size()) - 1 > m_options.flashLast))
        return refuse("ADDR", "Bad address.");

    // Storing: deaf until the acknowledgement.
    std::this_thread::sleep_until(m_lastArrival + std::chrono::milliseconds(m68000 ? 5 : 1));
    const int lost = drainLost();
    if (data) {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (int i = 0; i < payload.size(); ++i)
            m_result.stored[address + quint32(i)] = quint8(payload[i]);
        m_result.dataRecords = ++m_dataRecords;
        m_changed.notify_all();
    }
    m_lastArrival = Clock::now();
    if (lost > 0)
        return refuse("OVERRUN", "Overrun.");
    answer(m68000 ? "." : "O");
    if (data && m_dataRecords == m_options.silentAfterRecords)
        m_state = State::Silent;
}
