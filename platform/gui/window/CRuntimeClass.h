// Run-time class information, enough for a document template to create its document, frame and
// view by class.
#pragma once

#include "platform/base/Afx.h"

struct CRuntimeClass {
    const char* m_lpszClassName;
    CObject* (*m_pfnCreateObject)();
    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNCREATE(class_name)             \
public:                                           \
    static const CRuntimeClass class##class_name; \
    static CObject* CreateObject();

#define IMPLEMENT_DYNCREATE(class_name)   \
    CObject* class_name::CreateObject() { \
        return new class_name;            \
    }                                     \
    const CRuntimeClass class_name::class##class_name = {#class_name, &class_name::CreateObject};
