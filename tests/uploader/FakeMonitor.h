// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <climits>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

// A board's boot monitor on a pseudo-terminal, for tests without hardware.
// It takes characters at the line rate (10 bits each at the baud rate), has no
// receive buffer (what arrives while it stores a record is lost and the record
// answered with an overrun), and answers like the 68000 or the CPU32 monitor.
class FakeMonitor
{
public:
    enum class Kind
    {
        M68000,
        Cpu32
    };
    struct Options
    {
        Kind kind = Kind::M68000;
        int baud = 9600;
        quint32 flashFirst = 0;
        quint32 flashLast = 0x1FFFF;
        int noiseInLine = 0;         // this load line (from 1) arrives with a digit changed
        int silentAfterRecords = -1; // then reads on but never answers (0: from the start)
        int vanishAfterRecords = -1; // then closes its side of the line
    };
    struct Result
    {
        std::map<quint32, quint8> stored; // address -> byte
        quint32 entry = 0;
        int loads = 0;       // loads reported LOADED
        int dataRecords = 0; // records stored
        int lostCharacters = 0;
        qint64 charactersReceived = 0;
        bool atPrompt = true;
        QByteArray sent; // everything it answered
    };

    explicit FakeMonitor(const Options &options);
    ~FakeMonitor();
    FakeMonitor(const FakeMonitor &) = delete;
    FakeMonitor &operator=(const FakeMonitor &) = delete;

    // Opens the pseudo-terminal and starts listening.
    bool start(QString *error);
    QString devicePath() const { return m_devicePath; }
    // The master side, to read the line's settings; -1 once it has vanished.
    int masterDescriptor() const { return m_master; }

    Result result() const;
    // Until `records` records are stored or the load ended; false on timeout.
    bool waitForRecords(int records, int timeoutMs) const;
    // Until a load ended with the monitor back at its prompt; false on timeout.
    bool waitForLoadEnd(int timeoutMs) const { return waitForRecords(INT_MAX, timeoutMs); }

private:
    enum class State
    {
        Prompt,
        Load,
        Ignoring, // CPU32 after a bad record, until ESC
        Silent,
    };

    void run();
    void handle(char c);
    void endOfLoadLine();
    void answer(const QByteArray &text);
    // Back at the prompt after `text`; with the entry when the load succeeded.
    void endLoad(const QByteArray &text, std::optional<quint32> entry = {});
    int drainLost();

    Options m_options;
    QString m_devicePath;
    std::atomic<int> m_master{-1};
    int m_slave = -1;
    int m_wake[2] = {-1, -1};
    std::thread m_thread;
    std::atomic<bool> m_stop{false};

    // Owned by the thread.
    State m_state = State::Prompt;
    QByteArray m_pending; // read from the line, not yet handled
    qsizetype m_pendingIndex = 0;
    QByteArray m_line;
    int m_loadLine = 0;
    int m_dataRecords = 0;
    bool m_loadBad = false;
    std::chrono::steady_clock::time_point m_lastArrival;
    std::chrono::nanoseconds m_characterTime;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    Result m_result;
    bool m_loadEnded = false;
};
