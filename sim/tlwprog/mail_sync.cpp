// The mail synchronisation program: one synchronisation with the mail
// server, journalled, then it ends.
#include "platform/storage/journal.h"
#include "sim/tlwprog/roles.h"

namespace tlwprog {

int RunMailSync() {
    plat::JournalAppend("mail synchronised");
    return 0;
}

}  // namespace tlwprog
