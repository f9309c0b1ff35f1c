#include "UnavailableLoginItemService.h"

#include "LaunchAtLoginController.h"

namespace tavlin {

void UnavailableLoginItemService::registerItem()
{
    throw LaunchAtLoginController::unsupportedError();
}

} // namespace tavlin
