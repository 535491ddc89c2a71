// Match codes at the seam: the received code's mailbox and the share out.
#include "platform/common/code_link.h"

#include <string_view>

namespace {

const CodeShareOut *shareOut;
std::string received;
bool waiting = false;

}  // namespace

void platformSetCodeShare(const CodeShareOut *out) { shareOut = out; }
const CodeShareOut *platformCodeShare() { return shareOut; }

void platformReceiveCode(const char *text) {
  if (text == nullptr) return;
  received.assign(std::string_view(text).substr(0, kReceivedCodeMax + 1));
  waiting = true;
}

bool platformTakeReceivedCode(std::string *text) {
  if (!waiting) return false;
  waiting = false;
  text->swap(received);
  received.clear();
  return true;
}
