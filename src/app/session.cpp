#include "app/session.h"

InstallSession& Session() {
  static InstallSession session;
  return session;
}
