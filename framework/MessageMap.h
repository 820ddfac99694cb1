#pragma once
// Static message maps. Each class that handles messages or commands declares
// DECLARE_MESSAGE_MAP() and lists its entries between BEGIN_MESSAGE_MAP(class,
// base) and END_MESSAGE_MAP() in its .cpp. A lookup walks the class's own
// entries first and then its base's map, so a derived class overrides a base
// entry simply by listing the same message or command.
//
// Each entry holds a small captureless lambda that casts the target back to
// the declaring class and calls the member, so handlers may stay private and
// keep their natural signatures.
#include <windows.h>

class CCmdTarget;
class CCmdUI;

// What one entry is asked to handle.
struct MessageArgs {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    UINT id = 0;                // command id, for command and update entries
    CCmdUI* cmdUI = nullptr;    // update entries only
};

enum class EntryKind {
    End,
    Message,  // a window message; the handler's result is the message's result
    Command,  // WM_COMMAND with a notification code and an id range
    Update,   // the update request of a command id range (see CCmdUI)
};

struct MessageMapEntry {
    EntryKind kind;
    UINT message;   // Message entries
    UINT code;      // Command entries: the notification code (0 for menus)
    UINT idFirst;   // Command and Update entries
    UINT idLast;
    LRESULT (*thunk)(CCmdTarget* target, const MessageArgs& args);
};

struct MessageMap {
    const MessageMap* (*base)();  // null at the root
    const MessageMapEntry* entries;
};

// The notification code of menu and accelerator commands.
constexpr UINT CommandCodeMenu = 0;

// A command as it is routed: invoked, asked for its update state, or only
// asked whether some target would handle it.
struct CommandRoute {
    enum class Mode { Invoke, Update, Query };
    UINT id = 0;
    UINT code = CommandCodeMenu;
    Mode mode = Mode::Invoke;
    CCmdUI* cmdUI = nullptr;
};

// The root of everything that has a message map: windows and the application.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    // Looks the command up in this object's map chain; true when an entry
    // matched (and, unless only queried, ran). Frames extend the route.
    virtual bool OnCmdMsg(const CommandRoute& route);

    // The first Message entry for `message` in the chain, or null.
    const MessageMapEntry* FindMessageEntry(UINT message) const;

    virtual const MessageMap* GetMessageMap() const { return GetThisMessageMap(); }
    static const MessageMap* GetThisMessageMap();
};

#define DECLARE_MESSAGE_MAP()                                   \
public:                                                         \
    const MessageMap* GetMessageMap() const override;           \
    static const MessageMap* GetThisMessageMap();

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                   \
    const MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const MessageMap* theClass::GetThisMessageMap() {                            \
        using ThisClass [[maybe_unused]] = theClass;                                       \
        using BaseClass = baseClass;                                             \
        static const MessageMapEntry entries[] = {

#define END_MESSAGE_MAP()                                                        \
            {EntryKind::End, 0, 0, 0, 0, nullptr}};                              \
        static const MessageMap map = {&BaseClass::GetThisMessageMap, entries};  \
        return &map;                                                             \
    }

#define BRELKIN_MESSAGE_ENTRY(msg, call)                                                  \
    {EntryKind::Message, (msg), 0, 0, 0,                                                  \
     [](CCmdTarget* target, const MessageArgs& a) -> LRESULT {                            \
         auto* self = static_cast<ThisClass*>(target);                                    \
         (void)a;                                                                         \
         call;                                                                            \
     }},

// LRESULT Fn(WPARAM, LPARAM)
#define ON_MESSAGE(msg, memberFn) \
    BRELKIN_MESSAGE_ENTRY(msg, return self->memberFn(a.wParam, a.lParam))
// int OnCreate(CREATESTRUCTW*)
#define ON_WM_CREATE() \
    BRELKIN_MESSAGE_ENTRY(WM_CREATE, return self->OnCreate(reinterpret_cast<CREATESTRUCTW*>(a.lParam)))
// void OnDestroy()
#define ON_WM_DESTROY() \
    BRELKIN_MESSAGE_ENTRY(WM_DESTROY, self->OnDestroy(); return 0)
// void OnClose()
#define ON_WM_CLOSE() \
    BRELKIN_MESSAGE_ENTRY(WM_CLOSE, self->OnClose(); return 0)
// void OnTimer(UINT_PTR id)
#define ON_WM_TIMER() \
    BRELKIN_MESSAGE_ENTRY(WM_TIMER, self->OnTimer(static_cast<UINT_PTR>(a.wParam)); return 0)
// void OnInitMenuPopup(HMENU popup, UINT index, bool isSystemMenu)
#define ON_WM_INITMENUPOPUP()                                                                 \
    BRELKIN_MESSAGE_ENTRY(WM_INITMENUPOPUP,                                                   \
                          self->OnInitMenuPopup(reinterpret_cast<HMENU>(a.wParam),             \
                                                LOWORD(a.lParam), HIWORD(a.lParam) != 0);     \
                          return 0)
// bool OnQueryEndSession()
#define ON_WM_QUERYENDSESSION() \
    BRELKIN_MESSAGE_ENTRY(WM_QUERYENDSESSION, return self->OnQueryEndSession() ? TRUE : FALSE)
// void OnEndSession(bool ending, UINT flags), flags: ENDSESSION_LOGOFF and the others of lParam
#define ON_WM_ENDSESSION() \
    BRELKIN_MESSAGE_ENTRY(WM_ENDSESSION, self->OnEndSession(a.wParam != 0, static_cast<UINT>(a.lParam)); return 0)

#define BRELKIN_COMMAND_ENTRY(kind, code, first, last, call)                              \
    {(kind), 0, (code), static_cast<UINT>(first), static_cast<UINT>(last),                \
     [](CCmdTarget* target, const MessageArgs& a) -> LRESULT {                            \
         auto* self = static_cast<ThisClass*>(target);                                    \
         (void)a;                                                                         \
         call;                                                                            \
         return 0;                                                                        \
     }},

// void Fn()
#define ON_COMMAND(id, memberFn) \
    BRELKIN_COMMAND_ENTRY(EntryKind::Command, CommandCodeMenu, id, id, self->memberFn())
// void Fn(UINT id)
#define ON_COMMAND_RANGE(first, last, memberFn) \
    BRELKIN_COMMAND_ENTRY(EntryKind::Command, CommandCodeMenu, first, last, self->memberFn(a.id))
// void Fn() for a control's notification code
#define ON_CONTROL(code, id, memberFn) \
    BRELKIN_COMMAND_ENTRY(EntryKind::Command, code, id, id, self->memberFn())
#define ON_BN_CLICKED(id, memberFn) ON_CONTROL(BN_CLICKED, id, memberFn)
#define ON_EN_CHANGE(id, memberFn) ON_CONTROL(EN_CHANGE, id, memberFn)
#define ON_CBN_SELCHANGE(id, memberFn) ON_CONTROL(CBN_SELCHANGE, id, memberFn)
// void Fn(CCmdUI*)
#define ON_UPDATE_COMMAND_UI(id, memberFn) \
    BRELKIN_COMMAND_ENTRY(EntryKind::Update, 0, id, id, self->memberFn(a.cmdUI))
#define ON_UPDATE_COMMAND_UI_RANGE(first, last, memberFn) \
    BRELKIN_COMMAND_ENTRY(EntryKind::Update, 0, first, last, self->memberFn(a.cmdUI))
