// A function called at a steady pace from a thread of its own while the
// heartbeat lives, and the helper's progress lines that it keeps coming: a
// long step inside GDAL (parsing a large file, checking a shape of
// millions of vertices) gives no sign of life for many seconds, and the
// window takes a silent helper for a hung one.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace qm4::geo {

class Heartbeat {
  public:
    Heartbeat(std::chrono::milliseconds interval, std::function<void()> beat);
    // Waits for a beat under way; none comes after it returns.
    ~Heartbeat();
    Heartbeat(const Heartbeat&) = delete;
    Heartbeat& operator=(const Heartbeat&) = delete;

  private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopped_ = false;
    std::thread thread_;
};

// The progress lines {"id":N,"progress":F} of one request: a line for each
// hundredth the work reports, and the last part again whenever nothing was
// sent for a pace, so that the window hears from the helper while a step
// runs that reports nothing. No line comes after it is destroyed. One
// thread, started with the first request and running as long as the
// process, keeps every request's lines coming: a thread of each request's
// own would make the request wait at its end for that thread to be given
// a processor, which on a busy machine costs milliseconds.
class ProgressLines {
  public:
    using Sink = std::function<void(const std::string&)>;
    ProgressLines(long long id, const Sink& send, std::chrono::milliseconds pace);
    ~ProgressLines();
    ProgressLines(const ProgressLines&) = delete;
    ProgressLines& operator=(const ProgressLines&) = delete;
    // The part done, 0 to 1; always true (the window cancels by ending the
    // helper).
    bool report(double part);
    // The last part again when nothing was sent for a pace.
    void beat();

  private:
    void sendLine(double part);

    using Clock = std::chrono::steady_clock;
    const long long id_;
    const Sink& send_;
    const std::chrono::milliseconds pace_;
    std::mutex mutex_;
    double shown_ = 0;
    Clock::time_point sent_ = Clock::now();
};

}  // namespace qm4::geo
