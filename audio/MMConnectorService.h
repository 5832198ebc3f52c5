#pragma once
// The one service queue of the GUI thread that all connectors share: it takes their start
// and trigger messages and runs the single pump that hands out their readings about once
// per millisecond. It exists while at least one connector exists.
//
// The pump never sleeps on the GUI thread: a precise single-shot timer re-arms it 1 ms
// after each cycle, so the event loop stays free in between. While connectors run, one
// pump serves all of them, however many were started.

#include <QEvent>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <vector>

namespace ostrel {

class TMMConnector;

class TMMConnectorService : public QObject {
  Q_OBJECT
 public:
  static constexpr QEvent::Type kStartMessage = QEvent::Type(45557);
  static constexpr QEvent::Type kTriggerMessage = QEvent::Type(45558);
  static constexpr QEvent::Type kPumpMessage = QEvent::Type(45559);
  static constexpr int kPumpPauseMs = 1;

  // The service while connectors exist, else null.
  static TMMConnectorService* Instance();

  // ---- Connector list (GUI thread) ------------------------------------------------------------
  static void Register(TMMConnector* connector);
  static void Unregister(TMMConnector* connector);
  const std::vector<TMMConnector*>& Connectors() const { return connectors_; }
  TMMConnector* Find(std::uint64_t serial) const;
  int MessageDrivenCount() const { return messageDriven_; }
  void AddMessageDriven() { ++messageDriven_; }
  void RemoveMessageDriven();
  int MaxSpeed() const { return maxSpeed_; }
  void RecalcMaxSpeed();

  // ---- Messages ---------------------------------------------------------------------------------
  void PostStart(TMMConnector* connector);
  // Any thread.
  void PostTrigger(TMMConnector* connector);
  // Asks for a pump cycle; there is never more than one pump.
  void PostPump();
  // One pump message: the cycle, then re-arming while message-driven connectors run.
  void RunPump();
  // Whether a pump cycle is due (armed, or waiting for RunPump in manual mode).
  bool PumpRequested() const { return pumpRequested_; }

  // ---- Idle handler -------------------------------------------------------------------------
  // While installed the event loop keeps cycling instead of waiting for messages.
  void InstallIdle();
  void RemoveIdle();
  bool IdleInstalled() const { return idleTimer_.isActive(); }

  // ---- Shared settings
  // ---------------------------------------------------------------------------
  static bool EnterIdle();
  static void SetEnterIdle(bool value);
  // Tests drive the pump by hand: no timer is armed, RunPump runs one cycle.
  static void SetManualPump(bool manual);
  // What "let the application process its pending messages" does; tests count it.
  using MessageStep = std::function<void()>;
  static void SetMessageStep(MessageStep step);

 protected:
  bool event(QEvent* e) override;

 private:
  TMMConnectorService();
  ~TMMConnectorService() override;
  void PumpCycle();
  void DeliverAll();
  bool PumpAlive() const;
  void ArmPump(int delayMs);

  std::vector<TMMConnector*> connectors_;
  int messageDriven_ = 0;
  int maxSpeed_ = 0;
  bool pumpRequested_ = false;
  bool inMessageStep_ = false;
  QTimer pumpTimer_;
  QTimer idleTimer_;
};

}  // namespace ostrel
