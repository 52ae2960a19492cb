// The heartbeat's thread, a wait that its end cuts short, and the progress
// lines it keeps coming.
#include "geo/heartbeat.h"

#include <algorithm>
#include <set>

#include "geo/geo_requests.h"

namespace qm4::geo {

Heartbeat::Heartbeat(std::chrono::milliseconds interval, std::function<void()> beat) {
    thread_ = std::thread([this, interval, beat = std::move(beat)] {
        std::unique_lock lock(mutex_);
        while (!wake_.wait_for(lock, interval, [this] { return stopped_; })) {
            lock.unlock();
            beat();
            lock.lock();
        }
    });
}

Heartbeat::~Heartbeat() {
    {
        const std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

namespace {

// The requests whose lines are kept coming, beaten every tenth of a second.
class Pacemaker {
  public:
    static Pacemaker& instance() {
        // Never destroyed: its thread runs until the process ends.
        static Pacemaker* const pacemaker = new Pacemaker;
        return *pacemaker;
    }
    void attach(ProgressLines* lines) {
        const std::lock_guard lock(mutex_);
        beating_.insert(lines);
    }
    // Waits for a beat of it under way.
    void detach(ProgressLines* lines) {
        const std::lock_guard lock(mutex_);
        beating_.erase(lines);
    }

  private:
    Pacemaker() {
        std::thread([this] {
            for (;;) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                const std::lock_guard lock(mutex_);
                for (ProgressLines* lines : beating_) lines->beat();
            }
        }).detach();
    }

    std::mutex mutex_;
    std::set<ProgressLines*> beating_;
};

}  // namespace

ProgressLines::ProgressLines(long long id, const Sink& send, std::chrono::milliseconds pace)
    : id_(id), send_(send), pace_(pace) {
    Pacemaker::instance().attach(this);
}

ProgressLines::~ProgressLines() { Pacemaker::instance().detach(this); }

bool ProgressLines::report(double part) {
    const std::lock_guard lock(mutex_);
    if (part >= shown_ + 0.01) sendLine(part);
    return true;
}

void ProgressLines::beat() {
    const std::lock_guard lock(mutex_);
    if (Clock::now() - sent_ >= pace_) sendLine(shown_);
}

void ProgressLines::sendLine(double part) {
    shown_ = std::max(shown_, part);
    sent_ = Clock::now();
    send_("{\"id\":" + std::to_string(id_) + ",\"progress\":" + jsonNumber(shown_) + "}");
}

}  // namespace qm4::geo
