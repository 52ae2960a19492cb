// A function called at a steady pace from a thread of its own while the
// heartbeat lives: a long step inside GDAL (parsing a large file, checking
// a shape of millions of vertices) gives no sign of life for many seconds,
// and the window takes a silent helper for a hung one.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
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

}  // namespace qm4::geo
