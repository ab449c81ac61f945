// The string table where Windows string resources are not available; the
// same texts as StyledText.rc, which a test keeps in step.
#include "platform/string_resources.h"
#include "plugin/resources.h"

namespace standin {

const StringResource kModuleStrings[] = {
    {IDS_OPTIONS, u"Styl1nnYnnn"},
    {IDS_FUNCTION_VERSION, u"StyledTextVersion"},
    {IDS_FUNCTION_CLIPBOARD, u"StyledClipboard"},
    {IDS_PLUGIN_NAME, u"Vorn Styled Text"},
    {IDS_PLUGIN_DESCRIPTION,
     u"This plug-in modifies styled text so it can be copied and pasted between Filemaker and other applications."},
    {0, nullptr},
};

}  // namespace standin
