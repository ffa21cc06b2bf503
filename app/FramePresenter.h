#pragma once
// What only the window has of the meter service: the tab items of the form
// view and the page in front, the toolbar's image numbers, and the window's
// view state built from them and the service's state. The main window
// builds one over its station's service and shows what it hands over;
// km360r-cli never uses it.
#include "app/MeterService.h"
#include "app/ServiceState.h"
#include "app/ViewState.h"

class FramePresenter : public IServiceView {
 public:
  // Shows `service` on `view` until the presenter goes.
  FramePresenter(MeterService& service, IFrameView& view);
  ~FramePresenter() override;
  FramePresenter(const FramePresenter&) = delete;
  FramePresenter& operator=(const FramePresenter&) = delete;

  // The operator chose a tab item: its page comes to the front.
  void OnTabSelected(int index);
  // Text and Graphic: real-time reading (started when it does not run) with
  // its table or its graph in front.
  void OnText();
  void OnGraphic();

  const ViewState& View() const { return m_view; }

  // IServiceView
  void Show(const ServiceState& state) override;
  void ShowTable(TableContent content) override;

 private:
  void SelectTab(int index);
  // Keeps `next` and hands it to the window, changed or not: the window
  // shows it again as it is.
  void Publish(const ViewState& next);

  MeterService& m_service;
  IFrameView& m_sink;
  // The toolbar exists only where the language chose one: without it the
  // real-time and save buttons keep their first images.
  const bool m_bToolbar;
  ViewState m_view;
};
