#include "platform/message/registered_messages.h"

#include "platform/kernel/last_error.h"
#include "platform/window/window_db.h"

namespace plat {

uint32_t RegisterWindowMessage(std::u16string_view name) {
    if (name.empty()) {
        SetLastError(kErrorInvalidParameter);
        return 0;
    }
    uint32_t number = 0;
    std::u16string folded = windb::Folded(name);
    bool stored = windb::Write([&](store::Transaction& t) -> uint32_t {
        {
            store::Query find(t, "SELECT number FROM registered_messages WHERE name_folded = ?1");
            find.Bind(1, std::u16string_view(folded));
            if (find.Next()) number = static_cast<uint32_t>(find.Int(0));
            if (find.Error() != kErrorSuccess) return find.Error();
        }
        if (number == 0) {
            store::Query add(t,
                             "INSERT INTO registered_messages (name_folded, number) SELECT ?1, "
                             "IFNULL(MAX(number) + 1, ?2) FROM registered_messages");
            add.Bind(1, std::u16string_view(folded)).Bind(2, static_cast<int64_t>(kFirstRegisteredMessage));
            if (uint32_t error = add.Run(); error != kErrorSuccess) return error;
            store::Query find(t, "SELECT number FROM registered_messages WHERE name_folded = ?1");
            find.Bind(1, std::u16string_view(folded));
            if (find.Next()) number = static_cast<uint32_t>(find.Int(0));
        }
        // Message numbers end at 0xFFFF: past it no name gets one.
        if (number > 0xFFFF) number = 0;
        return number != 0 ? kErrorSuccess : kErrorNotEnoughMemory;
    });
    if (!stored) number = 0;
    if (number == 0) SetLastError(kErrorNotEnoughMemory);
    return number;
}

}  // namespace plat
