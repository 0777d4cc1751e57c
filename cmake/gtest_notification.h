// GoogleTest's Notification on a Win32 event, forced into every file that
// includes GoogleTest: the win32 thread model of MinGW-w64 (GCC 12) has no
// std::mutex or std::condition_variable, on which GoogleTest's own is built.
#pragma once
#include <windows.h>

namespace testing::internal {

class Notification {
 public:
  Notification() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~Notification() { CloseHandle(event_); }
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;
  void Notify() { SetEvent(event_); }
  void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

 private:
  HANDLE event_;
};

}  // namespace testing::internal
