#include "eeprom/customer_message_peers.h"

#include <QPointer>

namespace quorel::eep {

namespace {

struct Peer {
  QPointer<QWidget> window;
  FormControls* controls = nullptr;
  FormControls* Visible() const { return window && window->isVisible() ? controls : nullptr; }
  FormControls* Existing() const { return window ? controls : nullptr; }
};

Peer& Eep() {
  static Peer p;
  return p;
}
Peer& Message() {
  static Peer p;
  return p;
}
std::function<QWidget*()>& Loader() {
  static std::function<QWidget*()> load;
  return load;
}

}  // namespace

void MessagePeers::SetEepWindow(QWidget* window, FormControls* controls) { Eep() = {window, controls}; }
void MessagePeers::SetMessageWindow(QWidget* window, FormControls* controls) { Message() = {window, controls}; }
void MessagePeers::SetMessageLoader(std::function<QWidget*()> load) { Loader() = std::move(load); }

void MessagePeers::Withdraw(QWidget* window) {
  for (Peer* p : {&Eep(), &Message()})
    if (p->window == window) *p = Peer{};
}

FormControls* MessagePeers::VisibleEep() { return Eep().Visible(); }
FormControls* MessagePeers::VisibleMessage() { return Message().Visible(); }

FormControls* MessagePeers::LoadedMessage() {
  if (!Message().window && Loader()) Loader()();
  return Message().Existing();
}

}  // namespace quorel::eep
