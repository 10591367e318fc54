#pragma once

#include "transfer/handed_addresses.h"
#include "transfer/transfer_report.h"

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

// Addresses handed to Clipwell at once, grabbed one after another in the
// order given, each as a single grab; and what became of each, for the one
// report at the end. An address already in the queue is grabbed once.
class GrabQueue {
public:
    // Adds what was handed over: its new addresses after those waiting.
    void Add(HandedAddresses handed);
    // Takes up address, a grab already running, as the queue's current one.
    void Adopt(const std::string& address);
    // The next address, now current; nothing when none waits.
    std::optional<std::string> Next();
    // The current address goes back to the front, to be grabbed again after
    // one that comes first.
    void PutBack();
    // Puts address first, to be grabbed next.
    void PutFirst(const std::string& address);
    // The current grab ended with report (of kind None when whole).
    void Ended(const TransferReport& report);

    // Set while an address is current or waits.
    bool Active() const { return m_current.has_value() || !m_waiting.empty(); }
    bool HasCurrent() const { return m_current.has_value(); }
    // The current address's place in the queue, from 1, and the queue's size.
    std::size_t Place() const { return m_done.size() + (m_current ? 1 : 0); }
    std::size_t Size() const { return m_done.size() + (m_current ? 1 : 0) + m_waiting.size(); }

    // The report of the queue's end, or of its stop (stopped), which also
    // names every address not grabbed; nothing when every address ended
    // whole and nothing else is to be said. The queue is empty after.
    std::optional<TransferReport> Finish(bool stopped);

private:
    bool Seen(const std::string& address) const;

    struct Done {
        std::string address;
        TransferReport report;
    };
    std::vector<Done> m_done;
    std::optional<std::string> m_current;
    std::deque<std::string> m_waiting;
    std::vector<std::string> m_notAddresses;
    std::vector<std::u16string> m_unreadable;
};
