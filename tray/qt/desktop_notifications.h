#pragma once
// Balloons as desktop notifications (org.freedesktop.Notifications on the
// session bus), each with a "default" action: the notification protocol
// reports a click only as an action the sender listed. Named actions come
// beside it as buttons. What becomes of a notification comes back as the
// balloon notices of its icon; the activation token a server hands over
// with an action goes to OnActivationToken, before the action's notice.

#include <QDBusConnection>
#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <optional>
#include <utility>

#include "notify_icon_data.h"

namespace tray {

// Where the notices of a notification go: the icon's window, its identity
// and its callback message.
struct TNoticeTarget {
  HWND window = 0;
  uint32_t id = 0;
  uint32_t message = 0;
};

class TDesktopNotifications : public QObject {
  Q_OBJECT

 public:
  using TNoticeSink = std::function<void(const TNoticeTarget& target, uint32_t notice)>;

  std::function<void(const QString& token)> OnActivationToken;

  explicit TDesktopNotifications(TNoticeSink sink);

  // Whether a notification server is on the bus, or would be started for us.
  bool Available();
  // Replaces the icon's notification, in its place on the screen where the
  // server has it. The summary is plain text; the body is read as markup
  // and must come escaped. Pressing the named action at index i reports
  // NIN_BALLOONACTION + i.
  void Show(const TNoticeTarget& target, const QString& summary, const QString& body,
            const QString& iconName, const QImage& image, int timeoutMs,
            const QStringList& namedActions);
  // Withdraws the icon's notification, if it has one, at the program's next
  // turn: one shown meanwhile takes its place instead (a count going up
  // reads as one notification that changes, not one that goes and comes).
  void Withdraw(const TNoticeTarget& target);
  // Withdraws the icon's notification at once.
  void Close(const TNoticeTarget& target);

 private slots:
  void OnActionInvoked(uint id, const QString& action);
  void OnNotificationClosed(uint id, uint reason);
  void OnActivationTokenGiven(uint id, const QString& token);

 private:
  using TKey = std::pair<HWND, uint32_t>;
  struct TShown {
    TNoticeTarget target;
    uint serverId = 0;  // 0 while the server has not answered
    bool withdrawn = false;
    bool announced = false;  // NIN_BALLOONSHOW went out
    bool clicked = false;    // its default action was reported
    bool acted = false;      // any of its actions was
  };

  void Answered(uint64_t serial, uint serverId);
  // The server's id of the icon's notification that a new one may replace,
  // its entry gone and its hiding reported; 0 when there is none.
  uint TakeOver(const TKey& key);
  void CloseShown(uint64_t serial);
  void CloseOnServer(uint serverId);
  std::map<uint64_t, TShown>::iterator FindByServerId(uint serverId);

  TNoticeSink sink_;
  QDBusConnection bus_;
  // One entry per notification asked for, by its own serial; the newest of
  // an icon is current_[icon].
  std::map<uint64_t, TShown> shown_;
  std::map<TKey, uint64_t> current_;
  // Withdrawn this turn, on the server until the turn ends.
  std::map<TKey, uint64_t> withdrawing_;
  uint64_t lastSerial_ = 0;
  std::optional<bool> activatable_;
};

}  // namespace tray
