#pragma once

#include "platform/base/CArray.h"
#include "platform/base/CString.h"

class CStringArray : public CArray<CString, const CString&> {};
