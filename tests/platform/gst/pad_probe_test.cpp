#include "platform/gst/pad_probe.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/platform/gst/conversion_test_support.h"

namespace {

using gst::PadProbe;
using gst::PadPtr;

// Two linked pads; what reaches the sink pad is kept.
class LinkedPads : public ::testing::Test {
 protected:
  void SetUp() override {
    gst_test::InitGst();
    src_ = PadPtr(GST_PAD(gst_object_ref_sink(gst_pad_new("src", GST_PAD_SRC))));
    sink_ = PadPtr(GST_PAD(gst_object_ref_sink(gst_pad_new("sink", GST_PAD_SINK))));
    g_object_set_data(G_OBJECT(sink_.get()), "received", &received_);
    gst_pad_set_chain_function(sink_.get(), [](GstPad* pad, GstObject*, GstBuffer* buffer) {
      auto& received =
          *static_cast<std::vector<GstClockTime>*>(g_object_get_data(G_OBJECT(pad), "received"));
      received.push_back(GST_BUFFER_PTS(buffer));
      gst_buffer_unref(buffer);
      return GST_FLOW_OK;
    });
    ASSERT_EQ(gst_pad_link(src_.get(), sink_.get()), GST_PAD_LINK_OK);
    gst_pad_set_active(sink_.get(), TRUE);
    gst_pad_set_active(src_.get(), TRUE);
    gst_pad_push_event(src_.get(), gst_event_new_stream_start("probe-test"));
    GstSegment segment;
    gst_segment_init(&segment, GST_FORMAT_TIME);
    gst_pad_push_event(src_.get(), gst_event_new_segment(&segment));
  }
  void TearDown() override {
    gst_pad_set_active(src_.get(), FALSE);
    gst_pad_set_active(sink_.get(), FALSE);
  }

  void Push(GstClockTime pts) {
    GstBuffer* buffer = gst_buffer_new();
    GST_BUFFER_PTS(buffer) = pts;
    gst_pad_push(src_.get(), buffer);
  }

  PadPtr src_;
  PadPtr sink_;
  std::vector<GstClockTime> received_;
};

// The probe's verdict and the buffer it puts in place are what goes on.
TEST_F(LinkedPads, WhatTheProbeDecidesPasses) {
  PadProbe probe(
      src_.get(), GST_PAD_PROBE_TYPE_BUFFER,
      [](GstPad*, GstPadProbeInfo* info, gpointer) {
        GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
        if (GST_BUFFER_PTS(buffer) == 2) return GST_PAD_PROBE_DROP;
        buffer = gst_buffer_make_writable(buffer);
        GST_BUFFER_PTS(buffer) += 10;
        GST_PAD_PROBE_INFO_DATA(info) = buffer;
        return GST_PAD_PROBE_OK;
      },
      nullptr, nullptr);
  for (GstClockTime pts : {1, 2, 3}) Push(pts);
  EXPECT_EQ(received_, (std::vector<GstClockTime>{11, 13}));
  probe.Remove();
  Push(4);
  EXPECT_EQ(received_.back(), 4u) << "a removed probe still acts";
}

// The probe's data goes to its destroy function once, when the probe goes
// (not when it is moved), and the probe is off the pad from then on.
TEST_F(LinkedPads, TheProbesDataIsDestroyedOnceWhenTheProbeGoes) {
  struct Counts {
    int calls = 0;
    int destroyed = 0;
  } counts;
  {
    PadProbe moved;
    {
      PadProbe probe(
          src_.get(), GST_PAD_PROBE_TYPE_BUFFER,
          [](GstPad*, GstPadProbeInfo*, gpointer data) {
            ++static_cast<Counts*>(data)->calls;
            return GST_PAD_PROBE_OK;
          },
          &counts, [](gpointer data) { ++static_cast<Counts*>(data)->destroyed; });
      moved = std::move(probe);
    }
    EXPECT_EQ(counts.destroyed, 0);
    Push(1);
    EXPECT_EQ(counts.calls, 1);
  }
  EXPECT_EQ(counts.destroyed, 1);
  Push(2);
  EXPECT_EQ(counts.calls, 1);
  EXPECT_EQ(received_.size(), 2u);
}

}  // namespace
