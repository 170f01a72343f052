#pragma once
// Base of every networking component: keeps the socket stack alive, reports
// status texts and transfer progress (work) events.

#include <cstdint>
#include <functional>
#include <string>

enum class TWorkMode { wmRead, wmWrite };

enum class TNetStatus {
  hsResolving,
  hsConnecting,
  hsConnected,
  hsDisconnecting,
  hsDisconnected,
  hsStatusText,
  ftpTransfer,
  ftpReady,
  ftpAborted
};

class TNetComponent;

using TNetStatusEvent =
    std::function<void(TNetComponent* ASender, TNetStatus AStatus, const std::string& AStatusText)>;
using TWorkBeginEvent =
    std::function<void(TNetComponent* Sender, TWorkMode AWorkMode, int64_t AWorkCountMax)>;
using TWorkEvent =
    std::function<void(TNetComponent* Sender, TWorkMode AWorkMode, int64_t AWorkCount)>;
using TWorkEndEvent = std::function<void(TNetComponent* Sender, TWorkMode AWorkMode)>;
using TNotifyEvent = std::function<void(TNetComponent* Sender)>;

class TNetComponent {
 public:
  TNetComponent();
  TNetComponent(const TNetComponent&) = delete;
  TNetComponent& operator=(const TNetComponent&) = delete;
  virtual ~TNetComponent();

  TNetStatusEvent OnStatus;
  TWorkBeginEvent OnWorkBegin;
  TWorkEvent OnWork;
  TWorkEndEvent OnWorkEnd;

  // Opens a transfer; only the outermost one fires OnWorkBegin.
  virtual void StartWork(TWorkMode mode, int64_t maximum);
  // Adds n to the running total and fires OnWork, inside a transfer only.
  virtual void AdvanceWork(TWorkMode mode, int32_t n);
  // Closes a transfer; only the outermost one fires OnWorkEnd.
  virtual void FinishWork(TWorkMode mode);

  // Fires OnStatus with the status text, "%s" filled with argument.
  void ReportStatus(TNetStatus status, const std::string& argument = "");

  struct WorkRecord {
    int64_t count = 0;
    int64_t maximum = 0;
    int32_t level = 0;
  };
  const WorkRecord& Work(TWorkMode mode) const { return work_[Index(mode)]; }

 private:
  static int Index(TWorkMode mode) { return mode == TWorkMode::wmRead ? 0 : 1; }

  WorkRecord work_[2];
};
