#pragma once
// Delivering a command line to the product: posted to its main window when
// it runs, otherwise on the command line of a newly started main program.

#include "foundation/vo_string.h"

class CHVCommandLine {
 public:
  // True when the command was delivered or the product started with it.
  // Deliveries of all processes take turns through the command lock.
  static bool Execute(const VoString& command);
};

namespace vo {

// The name of the product's post channel: the short product name + " FC_IPC".
VoString ProductIpcName();

}  // namespace vo
