#include "app/FramePresenter.h"

#include <string>
#include <vector>

namespace {

int LinkImage(LinkLamp lamp) {
  switch (lamp) {
    case LinkLamp::Start: return toolbar_image::kLinkStart;
    case LinkLamp::Connected: return toolbar_image::kConnected;
    case LinkLamp::Disconnected: return toolbar_image::kDisconnected;
  }
  return toolbar_image::kLinkStart;
}

}  // namespace

FramePresenter::FramePresenter(MeterService& service, IFrameView& view)
    : m_service(service), m_sink(view), m_bToolbar(lang::Resolve(service.Language()).has_value()) {
  // The first show of the window puts the two tab items in.
  const FrameTexts& texts = m_service.Texts();
  m_view.tabs = {texts.m_strTextData, texts.m_strGraphicData};
  const ServiceState& state = m_service.State();
  m_view.statusNote = state.statusNote;
  m_view.linkNote = state.linkNote;
  m_view.linkTip = state.linkTip;
  m_service.SetView(this);
}

FramePresenter::~FramePresenter() { m_service.SetView(nullptr); }

void FramePresenter::Show(const ServiceState& state) {
  ViewState next = m_view;
  next.linkImage = LinkImage(state.lamp);
  if (m_bToolbar) {
    next.realTimeRunning = state.realTime;
    next.saveImage = state.saveAfter == SaveAfter::Settings ? toolbar_image::kSaveAfterSettings
                                                            : toolbar_image::kSaveAfterRead;
  }
  next.statusNote = state.statusNote;
  next.linkNote = state.linkNote;
  next.linkTip = state.linkTip;
  next.fileName = state.fileName;
  next.unsaved = state.unsaved;
  Publish(next);
}

void FramePresenter::ShowTable(TableContent content) {
  const FrameTexts& texts = m_service.Texts();
  ViewState next = m_view;
  std::vector<std::string>& tabs = next.tabs;
  // The first item is relabelled in place, so it stays selected when it was.
  auto relabelFirst = [&tabs](const std::string& caption) {
    if (tabs.empty()) {
      tabs.push_back(caption);
    } else {
      tabs[0] = caption;
    }
  };
  switch (content) {
    case TableContent::Cleared:
      relabelFirst(texts.m_strTextData);
      break;
    case TableContent::RealTime:
      if (tabs.size() == 1) tabs.push_back(texts.m_strGraphicData);
      relabelFirst(texts.m_strReadRealTime);
      break;
    case TableContent::History:
      tabs = {texts.m_strReadHistory};
      next.selectedTab = next.shownPage = 0;
      break;
    case TableContent::Parameters:
      tabs = {texts.m_strReadParams};
      next.selectedTab = next.shownPage = 0;
      break;
    case TableContent::Listing:
      next.selectedTab = next.shownPage = 0;
      break;
  }
  Publish(next);
}

void FramePresenter::OnTabSelected(int index) {
  if (index < 0 || index >= static_cast<int>(m_view.tabs.size())) return;
  SelectTab(index);
}

void FramePresenter::OnText() {
  if (!m_service.RealTime()) m_service.OnReadRealTime();
  SelectTab(0);
}

void FramePresenter::OnGraphic() {
  if (!m_service.RealTime()) m_service.OnReadRealTime();
  SelectTab(1);
}

void FramePresenter::SelectTab(int index) {
  ViewState next = m_view;
  next.selectedTab = index;
  next.shownPage = index;
  Publish(next);
}

void FramePresenter::Publish(const ViewState& next) {
  m_view = next;
  m_sink.Apply(m_view);
}
