#include "tests/platform/gui/TextDocApp.h"

namespace text_app {

IMPLEMENT_DYNCREATE(TextDoc)
IMPLEMENT_DYNCREATE(TextView)
IMPLEMENT_DYNCREATE(TextFrame)

}  // namespace text_app
