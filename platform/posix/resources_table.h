// The table of resources embedded in the program at build time. Each generated
// resource file defines one EmbeddedResource object per resource; its
// constructor links it into the table, so FindResourceA sees every resource
// that is linked in. An entry registered later shadows an earlier one with the
// same type and id until it is destroyed.
#pragma once

#include "platform/win32/types.h"

class EmbeddedResource {
  public:
    EmbeddedResource(WORD type, WORD id, const void* data, DWORD size);
    ~EmbeddedResource();
    EmbeddedResource(const EmbeddedResource&) = delete;
    EmbeddedResource& operator=(const EmbeddedResource&) = delete;

    WORD type() const { return m_type; }
    WORD id() const { return m_id; }
    const void* data() const { return m_data; }
    DWORD size() const { return m_size; }

    // The newest entry of this type and id, or null.
    static const EmbeddedResource* Find(WORD type, WORD id);

  private:
    WORD m_type;
    WORD m_id;
    const void* m_data;
    DWORD m_size;
    EmbeddedResource* m_next = nullptr;
};
