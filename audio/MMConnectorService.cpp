#include "audio/MMConnectorService.h"

#include <QCoreApplication>

#include <algorithm>

#include "audio/MMConect.h"
#include "platform/ExceptionReport.h"

namespace ostrel {

namespace {

TMMConnectorService* gService = nullptr;
bool gEnterIdle = false;
bool gManualPump = false;

TMMConnectorService::MessageStep& Step() {
  static TMMConnectorService::MessageStep step;
  return step;
}

class ConnectorMessage : public QEvent {
 public:
  ConnectorMessage(QEvent::Type type, std::uint64_t serial) : QEvent(type), serial(serial) {}
  const std::uint64_t serial;
};

}  // namespace

TMMConnectorService::TMMConnectorService() {
  setObjectName(QStringLiteral("TMMConnectorWindow"));
  pumpTimer_.setSingleShot(true);
  pumpTimer_.setTimerType(Qt::PreciseTimer);
  connect(&pumpTimer_, &QTimer::timeout, this, [this] { RunPump(); });
  // The idle handler: an empty zero-interval timer keeps the event loop from waiting.
  idleTimer_.setInterval(0);
}

TMMConnectorService::~TMMConnectorService() = default;

TMMConnectorService* TMMConnectorService::Instance() {
  return gService;
}

void TMMConnectorService::Register(TMMConnector* connector) {
  if (!gService) gService = new TMMConnectorService;
  gService->connectors_.push_back(connector);
  gService->RecalcMaxSpeed();
}

void TMMConnectorService::Unregister(TMMConnector* connector) {
  if (!gService) return;
  std::erase(gService->connectors_, connector);
  if (gService->connectors_.empty()) {
    // The last connector takes the service, and every message still queued for it, along.
    // Deleted later: this may run inside the service's own pump (a window closing in the
    // message step), which must be able to finish.
    gService->pumpTimer_.stop();
    gService->idleTimer_.stop();
    gService->pumpRequested_ = false;
    gService->deleteLater();
    gService = nullptr;
    return;
  }
  gService->RecalcMaxSpeed();
}

TMMConnector* TMMConnectorService::Find(std::uint64_t serial) const {
  for (TMMConnector* c : connectors_)
    if (c->Serial() == serial) return c;
  return nullptr;
}

void TMMConnectorService::RemoveMessageDriven() {
  if (messageDriven_ > 0) --messageDriven_;
  if (messageDriven_ == 0 && IdleInstalled()) RemoveIdle();
}

void TMMConnectorService::RecalcMaxSpeed() {
  maxSpeed_ = 0;
  for (TMMConnector* c : connectors_) maxSpeed_ = std::max(maxSpeed_, c->Speed());
}

void TMMConnectorService::InstallIdle() {
  if (!idleTimer_.isActive()) idleTimer_.start();
}

void TMMConnectorService::RemoveIdle() {
  idleTimer_.stop();
}

bool TMMConnectorService::EnterIdle() {
  return gEnterIdle;
}

void TMMConnectorService::SetEnterIdle(bool value) {
  gEnterIdle = value;
}

void TMMConnectorService::SetManualPump(bool manual) {
  gManualPump = manual;
  if (manual && gService) gService->pumpTimer_.stop();
}

void TMMConnectorService::SetMessageStep(MessageStep step) {
  Step() = std::move(step);
}

void TMMConnectorService::PostStart(TMMConnector* connector) {
  QCoreApplication::postEvent(this, new ConnectorMessage(kStartMessage, connector->Serial()));
}

void TMMConnectorService::PostTrigger(TMMConnector* connector) {
  QCoreApplication::postEvent(this, new ConnectorMessage(kTriggerMessage, connector->Serial()));
}

void TMMConnectorService::PostPump() {
  if (pumpRequested_) return;  // one pump serves every connector
  ArmPump(0);
}

void TMMConnectorService::ArmPump(int delayMs) {
  pumpRequested_ = true;
  if (!gManualPump) pumpTimer_.start(delayMs);
}

bool TMMConnectorService::PumpAlive() const {
  return messageDriven_ > 0 && !QCoreApplication::closingDown() && !connectors_.empty();
}

bool TMMConnectorService::event(QEvent* e) {
  const auto type = e->type();
  if (type != kStartMessage && type != kTriggerMessage && type != kPumpMessage)
    return QObject::event(e);
  try {
    if (type == kPumpMessage) {
      RunPump();
    } else if (TMMConnector* c = Find(static_cast<ConnectorMessage*>(e)->serial)) {
      if (type == kStartMessage)
        c->HandleStartMessage();
      else
        c->HandleTriggerMessage();
    }
  } catch (...) {
    ReportException(std::current_exception());
  }
  return true;
}

void TMMConnectorService::RunPump() {
  pumpRequested_ = false;
  if (inMessageStep_) {
    // A handler inside our own message step runs an event loop of its own (a modal
    // dialog, a device wait): keep the meters going from in there, without nesting
    // another message step.
    try {
      DeliverAll();
      if (PumpAlive()) ArmPump(kPumpPauseMs);
    } catch (...) {
      ReportException(std::current_exception());
    }
    return;
  }
  try {
    // Armed before the message step, so that a nested event loop inside it still pumps.
    if (PumpAlive()) ArmPump(kPumpPauseMs);
    PumpCycle();
    if (!PumpAlive()) {
      pumpTimer_.stop();
      pumpRequested_ = false;
    }
  } catch (...) {
    inMessageStep_ = false;
    // Delivery halts until the next start message posts the pump anew.
    pumpTimer_.stop();
    pumpRequested_ = false;
    ReportException(std::current_exception());
  }
}

void TMMConnectorService::PumpCycle() {
  const int n = TMMConnector::kMaxSpeed - maxSpeed_;
  if (n >= 0) {
    inMessageStep_ = true;
    for (int i = 0; i <= n; ++i) {
      if (Step())
        Step()();
      else
        QCoreApplication::processEvents();
    }
    inMessageStep_ = false;
  }
  DeliverAll();
}

void TMMConnectorService::DeliverAll() {
  if (!PumpAlive()) return;
  // By index: a meter's handler may not add or remove connectors, but be safe if it does.
  for (std::size_t i = 0; i < connectors_.size(); ++i) {
    TMMConnector* c = connectors_[i];
    if (c->PumpDriven()) c->DoTrigger();
  }
}

}  // namespace ostrel
