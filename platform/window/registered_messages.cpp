#include "platform/window/registered_messages.h"

#include "platform/kernel/last_error.h"
#include "platform/window/window_db.h"

namespace plat {

uint32_t RegisterWindowMessage(std::u16string_view name) {
    if (name.empty()) {
        SetLastError(kErrorInvalidParameter);
        return 0;
    }
    uint32_t number = 0;
    windb::WithDb([&](sqlite3* db) {
        if (!windb::Exec(db, "BEGIN IMMEDIATE")) return false;
        std::u16string folded = windb::Folded(name);
        {
            windb::Statement find(db, "SELECT number FROM registered_messages WHERE name_folded = ?1");
            find.Bind(1, folded);
            if (find.Step() == SQLITE_ROW) number = static_cast<uint32_t>(find.Int(0));
        }
        if (number == 0) {
            windb::Statement add(db,
                                 "INSERT INTO registered_messages (name_folded, number) SELECT ?1, "
                                 "IFNULL(MAX(number) + 1, ?2) FROM registered_messages");
            add.Bind(1, folded);
            add.Bind(2, static_cast<int64_t>(kFirstRegisteredMessage));
            int rc = add.Step();
            if (rc == SQLITE_DONE) {
                windb::Statement find(db, "SELECT number FROM registered_messages WHERE name_folded = ?1");
                find.Bind(1, folded);
                if (find.Step() == SQLITE_ROW) number = static_cast<uint32_t>(find.Int(0));
            }
        }
        if (number > 0xFFFF) number = 0;
        windb::Exec(db, number ? "COMMIT" : "ROLLBACK");
        return number != 0;
    });
    if (number == 0) SetLastError(kErrorNotEnoughMemory);
    return number;
}

}  // namespace plat
