// The heartbeat's thread: a wait that its end cuts short.
#include "geo/heartbeat.h"

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

}  // namespace qm4::geo
