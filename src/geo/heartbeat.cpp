// The heartbeat's thread, a wait that its end cuts short, and the progress
// lines it keeps coming.
#include "geo/heartbeat.h"

#include <algorithm>

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

ProgressLines::ProgressLines(long long id, const Sink& send, std::chrono::milliseconds pace)
    : id_(id), send_(send), pace_(pace) {
    heartbeat_.emplace(pace, [this] { beat(); });
}

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
