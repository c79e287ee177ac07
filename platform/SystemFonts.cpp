#include "platform/SystemFonts.h"

#include <fontconfig/fontconfig.h>

std::shared_future<void> ReadFontConfigurationInBackground()
{
    // A failed set-up is left for Qt to meet and report in its own way.
    return std::async(std::launch::async, [] { FcInit(); }).share();
}
