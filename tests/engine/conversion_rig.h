#pragma once
// One conversion driven as the main window drives it, without the window:
// probe, source graph, build with the chosen compressors, Run, the graph's
// events until its end, teardown. Every wait is bounded, so a run that
// hangs fails its test instead of stalling it.

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "engine/conversion_graph.h"
#include "engine/graph_context.h"
#include "engine/media_info.h"
#include "engine/output_settings.h"
#include "tests/support/scripted_modal_ui.h"

namespace engine_test {

// How a run ended.
struct RunEnd {
  long event = 0;  // EC_COMPLETE, EC_ERRORABORT...; 0 when none came in time
  LONG_PTR param1 = 0;
};

class ConversionRig {
 public:
  // Probes the source (the output size and frame rate become the probe's)
  // and opens its graph; the output goes to a fresh folder of this process,
  // named `outputName`.
  ConversionRig(const std::string& source, int format, const std::string& outputName);
  ~ConversionRig();
  ConversionRig(const ConversionRig&) = delete;
  ConversionRig& operator=(const ConversionRig&) = delete;

  // Chooses the compressors by a fragment of their catalogue names, as the
  // options dialog would; an empty fragment means no compressor.
  void UseCompressors(const std::string& video, const std::string& audio);

  // BuildGraphWithCompressors, then IMediaControl::Run when it succeeded.
  HRESULT Build();
  HRESULT Start();
  // Build and Start; false (with the test failed) when either fails.
  bool BuildAndStart();

  // Takes the graph's events until one ends the run.
  RunEnd WaitForEnd();
  // Waits until the graph's position reaches `seconds`; false when the run
  // hangs.
  bool WaitForPosition(double seconds);
  double PositionSeconds();

  // The run control's teardown, without the window: stop, detach the
  // events, take the conversion filters out, release the graph and open the
  // source again.
  void TearDown();

  // BuildAndStart, WaitForEnd, TearDown.
  RunEnd Convert();

  std::vector<std::string> Messages() { return ui_->MessageTexts(); }
  // WM_GRAPHNOTIFY posts the graph made to the window.
  int Notifications() const { return notifications_->load(); }

  test_support::ScriptedUi ui_;
  std::string source;
  OutputSettings settings;
  MediaInfo media;
  GraphContext context;
  std::string errorText;

 private:
  // Counted on the thread that posts.
  std::shared_ptr<std::atomic<int>> notifications_ = std::make_shared<std::atomic<int>>(0);
  ui::WindowPort window_;
};

// The fragment-named entry of the catalogue; -1 for an empty fragment.
int CompressorIndex(const std::string& fragment, bool video);

}  // namespace engine_test
