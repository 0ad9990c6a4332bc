#include "app/application.h"

#include "app/settings.h"
#include "engine/search_request.h"

namespace kelvaro {

PageFetcher SearchServiceFetcher() {
  return [](const std::string& keyword, const std::atomic<bool>* cancel) {
    return FetchSearchPage(keyword, SearchService{}, cancel);
  };
}

Application::Application(PageFetcher fetchPage, ThreadStarter starter)
    : state_(std::move(starter)), fetchPage_(std::move(fetchPage)) {}

void Application::AttachWindow(Window& window) {
  window_ = &window;
  runControl_.emplace(window, state_, fetchPage_);
}

void Application::LoadSettings() {
  if (window_) kelvaro::LoadSettings(*window_, runDirectory_);
}

void Application::SaveWorkerCount() {
  if (window_) kelvaro::SaveWorkerCount(*window_, runDirectory_);
}

void Application::SaveDepth() {
  if (window_) kelvaro::SaveDepth(*window_, runDirectory_);
}

void Application::OnStartStopClicked() {
  if (runControl_) runControl_->OnStartStopClicked();
}

void Application::AbortHarvest() {
  if (runControl_) runControl_->AbortHarvest();
}

}  // namespace kelvaro
