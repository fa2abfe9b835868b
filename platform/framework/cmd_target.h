// CCmdTarget and message maps: the root of the framework's objects that take
// messages. A class lists its handlers between BEGIN_MESSAGE_MAP and
// END_MESSAGE_MAP, one entry per message; each entry is a small thunk that
// unpacks wParam and lParam, calls the handler and returns its result. The
// maps chain to the base class's map, so a derived class sees its own entries
// first and then every base's.
#pragma once

#include "platform/win32.h"

#define afx_msg

class CCmdTarget;

typedef LRESULT (*AFX_MSG_THUNK)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // window message; 0 ends the table
    UINT nID;       // command id for WM_COMMAND entries, 0 otherwise
    AFX_MSG_THUNK pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();  // null for the root map
    const AFX_MSGMAP_ENTRY* lpEntries;
};

class CCmdTarget {
  public:
    CCmdTarget() = default;
    virtual ~CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // The first entry for (message, id) in this object's map chain, or null.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, UINT nID) const;
    // Runs the WM_COMMAND handler for nID if the map has one.
    virtual BOOL OnCmdMsg(UINT nID, LRESULT* pResult);

  protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

#define DECLARE_MESSAGE_MAP()                     \
  protected:                                      \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)          \
    const AFX_MSGMAP* theClass::GetMessageMap() const { \
        return GetThisMessageMap();                     \
    }                                                   \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {   \
        typedef theClass ThisClass;                     \
        typedef baseClass TheBaseClass;                 \
        static_assert(sizeof(ThisClass) > 0);           \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                         \
    { 0, 0, nullptr }                                                                             \
    }                                                                                             \
    ;                                                                                             \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
    return &messageMap;                                                                           \
    }

#define AFX_THIS(t) static_cast<ThisClass*>(t)

// Entries for arbitrary messages and for commands.
#define ON_MESSAGE(message, memberFxn)                                      \
    {(UINT)(message), 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT { \
         return (AFX_THIS(t)->*(memberFxn))(w, l);                          \
     }},
#define ON_COMMAND(id, memberFxn)                                           \
    {WM_COMMAND, (UINT)(id), [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT { \
         (AFX_THIS(t)->*(memberFxn))();                                     \
         return 0;                                                          \
     }},
