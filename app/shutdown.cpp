#include "app/shutdown.h"

#include "app/product.h"

namespace kelvaro {

std::string MakerAddress() {
  std::string address(kMakerHomePage);
  address += '#';
  address += kProductName;
  return address;
}

void CloseDown(Application& application, const MakerPageQuestion& askOpenMakerPage,
               const ShellOpener& shellOpen) {
  application.AbortHarvest();
  ShellOpenRequest request;
  request.file = MakerAddress();
  if (askOpenMakerPage && askOpenMakerPage() && shellOpen) shellOpen(request);
}

}  // namespace kelvaro
