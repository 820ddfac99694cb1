#include "framework/MessageMap.h"

const MessageMap* CCmdTarget::GetThisMessageMap() {
    static const MessageMapEntry entries[] = {{EntryKind::End, 0, 0, 0, 0, nullptr}};
    static const MessageMap map = {nullptr, entries};
    return &map;
}

namespace {

bool Matches(const MessageMapEntry& entry, const CommandRoute& route) {
    if (route.id < entry.idFirst || route.id > entry.idLast) return false;
    if (route.mode == CommandRoute::Mode::Update) return entry.kind == EntryKind::Update;
    return entry.kind == EntryKind::Command && entry.code == route.code;
}

}  // namespace

bool CCmdTarget::OnCmdMsg(const CommandRoute& route) {
    for (const MessageMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
        for (const MessageMapEntry* e = map->entries; e->kind != EntryKind::End; ++e) {
            if (!Matches(*e, route)) continue;
            if (route.mode != CommandRoute::Mode::Query) {
                MessageArgs args;
                args.message = WM_COMMAND;
                args.id = route.id;
                args.cmdUI = route.cmdUI;
                e->thunk(this, args);
            }
            return true;
        }
    }
    return false;
}

const MessageMapEntry* CCmdTarget::FindMessageEntry(UINT message) const {
    for (const MessageMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
        for (const MessageMapEntry* e = map->entries; e->kind != EntryKind::End; ++e) {
            if (e->kind == EntryKind::Message && e->message == message) return e;
        }
    }
    return nullptr;
}
