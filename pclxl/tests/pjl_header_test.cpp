// The job header and end text as the printer has the writer write them into
// the job's channel, compared byte for byte with texts derived by hand from
// the settings, and each checked by the PJL line checker.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "device/paper/paper_handling_device.h"
#include "device/testing/test_device_tree.h"
#include "model/attributes/configuration.h"
#include "model/attributes/state.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/persistent_association.h"
#include "model/objects/selection_string.h"
#include "pclxl/pjl/pjl.h"
#include "pclxl/testing/pjl_job.h"
#include "pclxl/testing/pjl_line_checker.h"
#include "pipeline/printer.h"

namespace {

const std::string kUEL = "\x1B%-12345X";

std::string Line(const std::string& command) { return "@PJL " + command + "\r\n"; }
std::string Set(const std::string& item) { return Line("SET " + item); }

// The lines every job of the fixed clock and system starts with, and the
// resolution line every header has.
const std::string kOSInfo = Line("COMMENT \"OS Info:Win2k;5.0;0.2195;\"");
const std::string kClock = Set("JOBATTR=\"JobAcct4=20261211094107\"");
const std::string kStart = kOSInfo + kClock;
const std::string kResolution = Set("RESOLUTION=600");

std::string Header(const std::string& lines, const std::string& name = "Report") {
  return kUEL + Line("JOB NAME=\"" + name + "\"") + lines + Line("ENTER LANGUAGE=TESTPDL");
}
std::string EndText(const std::string& name = "Report") { return kUEL + Line("EOJ NAME=\"" + name + "\"") + kUEL; }

using Fill = void (*)(GState& settings);

void Value(MPersistentObject& parent, int32_t key, int16_t value) { AddValue(parent, key, value); }
void Text(MPersistentObject& parent, int32_t key, const char* text) {
  parent.AddChild(new GStringAttribute(RWCString(text), key));
}
void Medium(GState& settings, int16_t sizeId) {
  std::unique_ptr<GMedia> medium = MakeMedium(sizeId, {5100, 6600});
  medium->SetKey(259);
  settings.AddChild(medium.release());
}

std::unique_ptr<GState> Settings(Fill fill) {
  auto settings = std::make_unique<GState>(GPeripheral::kDocumentStateKey);
  if (fill != nullptr) fill(*settings);
  return settings;
}

void ExpectOutput(const std::string& output, const std::string& expected) {
  EXPECT_EQ(output, expected);
  EXPECT_EQ(CheckPJL(output), "");
}

struct Case {
  Case(const char* name, Fill fill, std::string lines, int16_t offset = 0, std::string end = {})
      : name(name), fill(fill), lines(std::move(lines)), offset(offset), end(std::move(end)) {}

  const char* name;
  Fill fill;
  // Everything between the JOB line and the ENTER LANGUAGE line.
  std::string lines;
  // The minute offset of the clock.
  int16_t offset;
  // The end text when it is not the plain one.
  std::string end;
};

class PJLHeader : public ::testing::Test {
 protected:
  // Runs the rows one job each; describe, when given, makes the writer's
  // configuration, device the graphics device the document start carries.
  void RunRows(std::initializer_list<Case> rows, void (*describe)(GConfiguration&) = nullptr,
               TestGraphicsDevice* device = nullptr) {
    for (const Case& c : rows) {
      SCOPED_TRACE(c.name);
      factory.offset = c.offset;
      PJLJob job;
      job.settings = Settings(c.fill);
      job.device = device;
      GObjectRef configuration;
      if (describe != nullptr) {
        configuration = GObjectRef(new GConfiguration(GPeripheral::kConfigurationKey));
        describe(static_cast<GConfiguration&>(*configuration));
        job.configuration = static_cast<GConfiguration*>(configuration.Get());
      }
      const PJLJobStatus status = RunJob(job, GPJL(GPrinter::kPJLKey));
      EXPECT_EQ(status.start, 0);
      EXPECT_EQ(status.end, 0);
      ExpectOutput(provider.Output(), Header(c.lines) + (c.end.empty() ? EndText() : c.end));
    }
  }

  FixedClockFactory factory;
  RegisteredMemoryProvider provider;
};

TEST_F(PJLHeader, JobSettingsWithoutADescription) {
  RunRows({
      {"no_settings", nullptr, kStart + kResolution},
      {"one_copy", [](GState& s) { Value(s, 247, 1); }, kStart + kResolution},
      {"five_copies", [](GState& s) { Value(s, 247, 5); }, kStart + Set("QTY=5") + kResolution},
      {"five_copies_in_a_manual_duplex_pass",
       [](GState& s) {
         Value(s, 247, 5);
         Value(s, 1123, 1);
       },
       kStart + kResolution},
      {"raw_text_as_given", [](GState& s) { Text(s, 240, "@PJL SET JAMRECOVERY=ON\r\n"); },
       kStart + "@PJL SET JAMRECOVERY=ON\r\n" + kResolution},
      {"resolution_enhancement", [](GState& s) { Value(s, 250, 3); }, kStart + Set("RET=DARK") + kResolution},
      {"unknown_resolution_enhancement_writes_no_line", [](GState& s) { Value(s, 250, 9); }, kStart + kResolution},
      {"duplex_without_a_duplex_unit", [](GState& s) { Value(s, 253, 1); }, kStart + Set("DUPLEX=OFF") + kResolution},
      {"back_side", [](GState& s) { Value(s, 1128, 0); }, kStart + Set("PRINTONBACKSIDE=OFF") + kResolution},
      {"print_quality", [](GState& s) { Value(s, 901, -1); }, kStart + Set("PRINTQUALITY=FASTNORMAL") + kResolution},
      {"unknown_print_quality_writes_no_line", [](GState& s) { Value(s, 901, 7); }, kStart + kResolution},
      {"device_options",
       [](GState& s) {
         Value(s, 703, 1);
         Value(s, 252, 1);
         Value(s, 1009, 0);
         Value(s, 1030, 1);
         Value(s, 296, 1);
         Value(s, 410, 1);
       },
       kStart + Set("CLEANING=ON") + Set("ECONOMODE=ON") + Set("TURBOMODE=OFF") + Set("PLANESINUSE=1") +
           Set("GRAYSCALE=BLACKONLY") + kResolution},
      {"economy_off_and_unknown_turbo_write_no_line",
       [](GState& s) {
         Value(s, 252, 0);
         Value(s, 1009, 4);
       },
       kStart + kResolution},
      {"grey_off_and_composite",
       [](GState& s) {
         Value(s, 296, 0);
         Value(s, 410, 1);
       },
       kStart + Set("GRAYSCALE=OFF") + kResolution},
      {"page_protection_above_the_table", [](GState& s) { Value(s, 251, 9); },
       kStart + Set("PAGEPROTECT=AUTO") + kResolution},
      {"page_protection_letter", [](GState& s) { Value(s, 251, 3); }, kStart + Set("PAGEPROTECT=LETTER") + kResolution},
      {"after_the_resolution",
       [](GState& s) {
         Value(s, 442, 0);
         Value(s, 1133, 2);
         Value(s, 1204, 2);
         Value(s, 1202, 1);
       },
       kStart + kResolution + Set("EDGETOEDGE=NO") + Set("VRNEXTRADRYTIME=-10") + Set("OHPINTERLEAVE=PRINTED") +
           Set("PROCESSINGTYPE=\"IMAGE_SHIFT\"") + Set("PROCESSINGOPTION=\"ON\"") + Set("PROCESSINGBOUNDARY=MORG")},
      {"dry_time_outside_the_table_and_no_interleave",
       [](GState& s) {
         Value(s, 1133, 42);
         Value(s, 1204, 3);
       },
       kStart + kResolution + Set("VRNEXTRADRYTIME=0")},
      {"resolution_group_at_300_one_bit",
       [](GState& s) {
         GAttributeComposite* group = AddGroup(s, 249);
         Value(*group, 323, 300);
         Value(*group, 325, 1);
         Value(s, 955, 1);
       },
       kStart + Set("RESOLUTION=300") + Set("BITSPERPIXEL=1")},
      {"one_bit_not_offered_at_the_resolution",
       [](GState& s) {
         GAttributeComposite* group = AddGroup(s, 249);
         Value(*group, 323, 300);
         Value(s, 955, 2);
       },
       kStart + Set("RESOLUTION=300")},
  });
}

TEST_F(PJLHeader, UserAccountingAndMessages) {
  RunRows({
      {"user_and_accounting",
       [](GState& s) {
         Text(s, 975, "anna");
         Text(s, 1000, "dept7");
         Text(s, 999, "p3");
         Text(s, 1131, "x5");
       },
       kOSInfo + Line("COMMENT \"Username: anna\"") + Set("JOBATTR=\"JobAcct1=anna\"") +
           Set("JOBATTR=\"JobAcct2=dept7\"") + Set("JOBATTR=\"JobAcct3=p3\"") + kClock +
           Set("JOBATTR=\"JobAcct5=x5\"") + kResolution},
      {"texts_that_would_break_a_value_are_written_empty",
       [](GState& s) {
         Text(s, 975, "an\"na");
         Text(s, 1000, "tab\tok");
         Text(s, 800, "line\nbreak");
       },
       kOSInfo + Line("COMMENT \"Username: \"") + Set("JOBATTR=\"JobAcct1=\"") + Set("JOBATTR=\"JobAcct2=tab\tok\"") +
           kClock + Line("RDYMSG DISPLAY = \"\"") + kResolution},
      {"operator_message",
       [](GState& s) {
         Text(s, 800, "Load letter");
         Value(s, 801, 1);
       },
       kStart + Line("OPMSG DISPLAY = \"Load letter\"") + kResolution},
      {"comments_replace_the_system_line",
       [](GState& s) {
         Text(s, 956, "QV Laser 4620");
         Text(s, 1007, "Office");
         Text(s, 1008, "Floor 2");
       },
       Line("COMMENT \"QV Laser 4620\"") + Line("COMMENT \"Office\"") + Line("COMMENT \"Floor 2\"") + kClock +
           kResolution},
      {"extra_lines_in_header_and_end",
       [](GState& s) {
         GAttributeComposite* lines = AddGroup(s, 985);
         Text(*lines, 0, "@PJL SET JOBOFFSET=ON");
         Text(*lines, 1, "@PJL COMMENT \"extra\"");
       },
       kStart + kResolution + Set("JOBOFFSET=ON") + Line("COMMENT \"extra\""), 0,
       kUEL + Set("JOBOFFSET=ON") + Line("COMMENT \"extra\"") + Line("EOJ NAME=\"Report\"") + kUEL},
  });
}

// The template's items come last first; text before the first "@" is
// dropped; the zone is the stored minute offset.
TEST_F(PJLHeader, TimeStamps) {
  RunRows({
      {"template_items_in_reverse", [](GState& s) { Text(s, 596, "x@A=#Y@B=\"#H:#MN\""); },
       kStart + Set("B=\"09:41\"") + Set("A=2026") + kResolution},
      {"every_field", [](GState& s) { Text(s, 596, "@STAMP=\"#D.#MO.#Y #H:#MN:#S #G\""); },
       kStart + Set("STAMP=\"11.12.2026 09:41:07 -00:00\"") + kResolution},
      {"zone_east", [](GState& s) { Text(s, 596, "@ZONE=\"#G\""); }, kStart + Set("ZONE=\"+05:30\"") + kResolution,
       330},
      {"zone_west", [](GState& s) { Text(s, 596, "@ZONE=\"#G\""); }, kStart + Set("ZONE=\"-01:30\"") + kResolution,
       -90},
      {"device_time_stamp_moved_by_the_offset", [](GState& s) { Value(s, 1121, 1); },
       kStart + kResolution +
           Line("DMINFO ASCIIHEX=\"0400040101020D10100115"
                "3230323631323131313531313037\""),
       330},
  });
}

TEST_F(PJLHeader, WithoutAClockNoTimeLines) {
  factory.timeAvailable = false;
  PJLJob job;
  job.settings = Settings([](GState& s) {
    Text(s, 596, "@A=#Y");
    Value(s, 1121, 1);
  });
  RunJob(job, GPJL(GPrinter::kPJLKey));
  ExpectOutput(provider.Output(), Header(kOSInfo + kResolution) + EndText());
}

TEST_F(PJLHeader, UsageLine) {
  RunRows({
      {"known_model_and_empty_account",
       [](GState& s) {
         Value(s, 1021, 1);
         Text(s, 956, "QV Laser 4620 dn");
         Text(s, 1000, "");
       },
       Line("COMMENT \"QV Laser 4620 dn\"") + kOSInfo + Set("JOBATTR=\"JobAcct2=\"") + kClock +
           Line("USAGE=QVMC,ffff,,00,08,") + kResolution},
      {"unknown_model_and_layout_flags",
       [](GState& s) {
         Value(s, 1021, 1);
         Text(s, 956, "QV Laser 1000");
         Text(s, 1000, "123456789");
         Text(s, 1022, "abc");
         Value(s, 269, 50);
         Value(s, 266, 2);
         Value(s, 253, 1);
         Value(s, 279, 1);
       },
       Line("COMMENT \"QV Laser 1000\"") + kOSInfo + Set("JOBATTR=\"JobAcct2=123456789\"") + kClock +
           Set("DUPLEX=OFF") + Line("USAGE=,bb3d,4521,13,08,") + kResolution},
      {"neutral_scaling_counts_nothing",
       [](GState& s) {
         Value(s, 1021, 0);
         Value(s, 269, 100);
         Value(s, 270, 0);
         Value(s, 266, 1);
       },
       kStart + Line("USAGE=,,,00,08,") + kResolution},
  });
}

// The system's kind, version and build in the comment line, and its code
// in the usage line.
TEST_F(PJLHeader, TheOperatingSystem) {
  struct System {
    const char* name;
    GOSVersion version;
    const char* info;
    const char* usage;
  };
  for (const System& c : {
           System{"not_classified", {0, 0, 0}, " (n/a);0.0;0.0;", "(n/a)"},
           System{"windows_98", {5, 4u << 16 | 10, 7u << 16 | 2222}, "Win9x;4.10;7.2222;", "02"},
           System{"windows_me", {5, 4u << 16 | 90, 8u << 16 | 3000}, "WinMe;4.90;8.3000;", "02"},
           System{"nt_server", {10, 4u << 16, 1381}, "WinNTAS;4.0;0.1381;", "(n/a)"},
           System{"nt_kernel", {11, 4u << 16, 1381}, "WinNT Kernel;4.0;0.1381;", "04"},
           System{"nt5_other_build", {14, 5u << 16 | 1, 2600}, "(n/a);5.1;0.2600;", "20"},
       }) {
    SCOPED_TRACE(c.name);
    factory.system = c.version;
    PJLJob job;
    job.settings = Settings([](GState& s) { Value(s, 1021, 1); });
    RunJob(job, GPJL(GPrinter::kPJLKey));
    ExpectOutput(provider.Output(), Header(Line("COMMENT \"OS Info:" + std::string(c.info) + "\"") + kClock +
                                           Line("USAGE=,,,00," + std::string(c.usage) + ",") + kResolution) +
                                        EndText());
  }
}

TEST_F(PJLHeader, OutputBinsAndFinishing) {
  RunRows({
      {"stapling_stacker_suppresses_finish_lines",
       [](GState& s) {
         Value(s, 248, 14);
         Value(s, 278, 1);
         Value(s, 289, 1);
       },
       kStart + Set("OUTBIN=OPTIONALOUTBIN1") + Set("PROCESSINGTYPE=\"STAPLING\"") +
           Set("PROCESSINGOPTION=\"ONE_STAPLE\"") + Set("PROCESSINGBOUNDARY=MORG") + kResolution},
      {"stacker_13", [](GState& s) { Value(s, 248, 13); },
       kStart + Set("OUTBIN=OPTIONALOUTBIN1") + Set("PROCESSINGTYPE=\"STAPLING\"") + Set("PROCESSINGOPTION=\"NONE\"") +
           Set("PROCESSINGBOUNDARY=MORG") + kResolution},
      {"stacker_without_stapling", [](GState& s) { Value(s, 248, 15); },
       kStart + Set("OUTBIN=OPTIONALOUTBIN1") + Set("PROCESSINGTYPE=\"NONE\"") + kResolution},
      {"optional_bin_20", [](GState& s) { Value(s, 248, 20); }, kStart + Set("OUTBIN=OPTIONALOUTBIN6") + kResolution},
      {"bins_without_a_name_write_no_line",
       [](GState& s) {
         Value(s, 248, 7);
         Value(s, 612, 3);
       },
       kStart + Set("FINISH=NONE") + kResolution},
      {"unmapped_bin_40", [](GState& s) { Value(s, 248, 40); }, kStart + kResolution},
      {"bin_3_without_an_output_device", [](GState& s) { Value(s, 248, 3); },
       kStart + Set("OUTBIN=OPTIONALOUTBIN7") + kResolution},
      {"bin_3_with_the_variant_is_a_mailbox",
       [](GState& s) {
         Value(s, 248, 3);
         Value(s, 1127, 1);
       },
       kStart + Set("OUTBIN=OPTIONALOUTBIN2") + Set("PROCESSINGBOUNDARY=MORG") + kResolution},
      {"mailbox_face_up_booklet_and_staples",
       [](GState& s) {
         Value(s, 248, 11);
         Value(s, 982, 1);
         Value(s, 278, 1);
         Value(s, 289, 3);
       },
       kStart + Set("OUTBIN=OPTIONALOUTBIN1") + Set("PROCESSINGTYPE=\"FACE_UP\"") +
           Set("PROCESSINGOPTION=\"FACE_UP\"") + Set("PROCESSINGTYPE=\"BOOKLET_MAKER\"") +
           Set("PROCESSINGOPTION=\"BOOKLET_MAKER\"") + Set("PROCESSINGTYPE=\"STAPLING\"") +
           Set("PROCESSINGOPTION=\"TWO_STAPLES\"") + Set("PROCESSINGBOUNDARY=MORG") + kResolution},
      {"mailbox_face_down_staple_option_unknown",
       [](GState& s) {
         Value(s, 248, 12);
         Value(s, 278, 1);
         Value(s, 289, 6);
       },
       kStart + Set("OUTBIN=OPTIONALOUTBIN1") + Set("PROCESSINGTYPE=\"FACE_DOWN\"") +
           Set("PROCESSINGOPTION=\"FACE_DOWN\"") + Set("PROCESSINGTYPE=\"STAPLING\"") + Set("PROCESSINGBOUNDARY=MORG") +
           kResolution},
      {"mailbox_9_without_the_booklet_maker",
       [](GState& s) {
         Value(s, 248, 9);
         Value(s, 982, 2);
       },
       kStart + Set("OUTBIN=OPTIONALOUTBIN1") + Set("PROCESSINGBOUNDARY=MORG") + kResolution},
      {"mailbox_10", [](GState& s) { Value(s, 248, 10); },
       kStart + Set("OUTBIN=OPTIONALOUTBIN2") + Set("PROCESSINGBOUNDARY=MORG") + kResolution},
      {"upper_bin_stapled",
       [](GState& s) {
         Value(s, 248, 1);
         Value(s, 278, 1);
         Value(s, 289, 4);
       },
       kStart + Set("OUTBIN=UPPER") + Set("FINISH=STAPLE") + Set("STAPLEOPTION=THREE") + kResolution},
      {"lower_bin_without_stapling",
       [](GState& s) {
         Value(s, 248, 2);
         Value(s, 278, 0);
         Value(s, 289, 2);
       },
       kStart + Set("OUTBIN=LOWER") + Set("FINISH=NONE") + Set("STAPLEOPTION=NONE") + kResolution},
      {"no_stapling_with_the_variant_ends_the_finishing",
       [](GState& s) {
         Value(s, 248, 6);
         Value(s, 278, 0);
         Value(s, 1127, 1);
         Value(s, 612, 1);
       },
       kStart + Set("OUTBIN=HCO-U") + Set("PROCESSINGTYPE=\"NONE\"") + kResolution},
      {"thermal_binder",
       [](GState& s) {
         Value(s, 248, 5);
         Value(s, 612, 1);
       },
       kStart + Set("OUTBIN=HCO-D") + Set("FINISH=ON") + Set("FINISHERTYPE=THERMALBINDER") +
           Set("FINISHEROPTION=REGULARBIND") + kResolution},
  });
}

TEST_F(PJLHeader, Retention) {
  const std::string kHeld = Set("HOLD=ON") + Set("HOLDTYPE=PUBLIC");
  RunRows({
      {"no_mode_no_lines", [](GState& s) { Text(s, 440, "anna"); }, kStart + kResolution},
      {"negative_mode_no_lines", [](GState& s) { Value(s, 287, -1); }, kStart + kResolution},
      {"mode_0", [](GState& s) { Value(s, 287, 0); }, kStart + Set("HOLD=OFF") + kResolution},
      {"mode_above_4", [](GState& s) { Value(s, 287, 5); }, kStart + Set("HOLD=OFF") + kResolution},
      {"mode_1_public",
       [](GState& s) {
         Value(s, 287, 1);
         Text(s, 440, "anna");
         Text(s, 282, "Q3");
       },
       kStart + kHeld + Set("USERNAME=\"anna\"") + Set("JOBNAME=\"Q3\"") + kResolution},
      {"mode_2_proof_without_a_user", [](GState& s) { Value(s, 287, 2); },
       kStart + Set("HOLD=PROOF") + Set("USERNAME=\"?\"") + Set("JOBNAME=\"\"") + kResolution},
      {"mode_3_without_the_private_flag",
       [](GState& s) {
         Value(s, 287, 3);
         Text(s, 284, "1234");
       },
       kStart + Set("HOLD=STORE") + Set("USERNAME=\"?\"") + Set("JOBNAME=\"\"") + kResolution},
      {"mode_3_private",
       [](GState& s) {
         Value(s, 287, 3);
         Value(s, 290, 1);
         Text(s, 284, "1234");
       },
       kStart + Set("HOLD=STORE") + Set("HOLDTYPE=PRIVATE") + Set("HOLDKEY=\"1234\"") + Set("USERNAME=\"?\"") +
           Set("JOBNAME=\"\"") + kResolution},
      {"mode_4_with_a_bad_pin_and_user",
       [](GState& s) {
         Value(s, 287, 4);
         Text(s, 284, "12\"4");
         Text(s, 440, "a\"b");
       },
       kStart + Set("HOLD=ON") + Set("HOLDTYPE=PRIVATE") + Set("HOLDKEY=\"\"") + Set("USERNAME=\"?\"") +
           Set("JOBNAME=\"\"") + kResolution},
      {"user_of_the_job_when_asked",
       [](GState& s) {
         Value(s, 287, 1);
         Value(s, 1034, 0);
         Text(s, 975, "bert");
         Text(s, 440, "anna");
       },
       kOSInfo + Line("COMMENT \"Username: bert\"") + Set("JOBATTR=\"JobAcct1=bert\"") + kClock + kHeld +
           Set("USERNAME=\"bert\"") + Set("JOBNAME=\"\"") + kResolution},
      {"utf8_name_cut_to_16_units",
       [](GState& s) {
         Value(s, 287, 1);
         Value(s, 1027, 1);
         Value(s, 1034, 0);
         Text(s, 975,
              "Ren\xE9"
              "e Lefebvre-Dupont");
       },
       kOSInfo +
           Line("COMMENT \"Username: Ren\xE9"
                "e Lefebvre-Dupont\"") +
           Set("JOBATTR=\"JobAcct1=Ren\xE9"
               "e Lefebvre-Dupont\"") +
           kClock + Set("STRINGCODESET=UTF8") + kHeld +
           Set("USERNAME=\"Ren\xC3\xA9"
               "e Lefebvre-D\"") +
           Set("JOBNAME=\"\"") + kResolution},
      {"utf8_device_and_mode_0_needs_no_code_set",
       [](GState& s) {
         Value(s, 287, 0);
         Value(s, 1027, 1);
       },
       kStart + Set("HOLD=OFF") + kResolution},
  });
}

TEST_F(PJLHeader, RetainedUnderTheAlternateName) {
  PJLJob job;
  job.alternateName = RWCString("Budget");
  job.settings = Settings([](GState& s) {
    Value(s, 287, 2);
    Text(s, 282, "Q3");
    Value(s, 1035, 0);
  });
  RunJob(job, GPJL(GPrinter::kPJLKey));
  ExpectOutput(
      provider.Output(),
      Header(kStart + Set("HOLD=PROOF") + Set("USERNAME=\"?\"") + Set("JOBNAME=\"Budget\"") + kResolution) + EndText());
}

// A description with paper, tray-1 and bin maps, an output device whose
// default is configuration 3, a resolution entry with two bits per pixel
// and a single UEL at the end.
void Describe(GConfiguration& c) {
  const auto map = [&c](int32_t key, std::initializer_list<std::pair<int16_t, const char*>> entries) {
    auto* list = new MAssociationList(key);
    for (const auto& [value, text] : entries) {
      list->Put(new MPersistentAssociation(new GValueAttribute(value, 0), new GSelectionString(text, value, 0), 0));
    }
    c.AddChild(list);
  };
  map(192, {{2, "LETTER"}, {9, "A4"}});
  map(906, {{5, "PLAIN"}});
  map(930, {{1, "MEDIATYPE,,TRAY1TEMP"}});
  map(93, {{40, "OPTIONALOUTBIN3"}});
  auto* bins = new GAttributeComposite(90);
  auto* stacker = new GPaperHandlingDevice(RWCString("stacker"), GPaperHandlingDevice::kOutput, 1, 1, 0, 0, 0);
  stacker->AddEntry(3, new GAttributeComposite(0));
  bins->AddChild(stacker);
  c.AddChild(bins);
  auto* resolutions = new GAttributeComposite(206);
  GAttributeComposite* entry = AddGroup(*resolutions, 0);
  Value(*entry, 325, 2);
  c.AddChild(resolutions);
  Value(c, 1006, 1);
}

TEST_F(PJLHeader, WithADeviceDescription) {
  const std::string kBits = Set("BITSPERPIXEL=1");
  const std::string kEnd = kUEL + Line("EOJ NAME=\"Report\"");
  RunRows(
      {
          {"paper_mapped", [](GState& s) { Medium(s, 9); }, kStart + Set("PAPER=A4") + kResolution + kBits, 0, kEnd},
          {"custom_paper_without_a_device_unmapped", [](GState& s) { Medium(s, 16400); }, kStart + kResolution + kBits,
           0, kEnd},
          {"tray_1_without_a_selector", [](GState& s) { Value(s, 907, 5); },
           kStart + Set("TRAY1TEMP=PLAIN") + kResolution + kBits, 0, kEnd},
          {"tray_1_list_last_name_first",
           [](GState& s) {
             Value(s, 907, 5);
             Value(s, 931, 1);
           },
           kStart + Set("TRAY1TEMP=PLAIN") + Set("MEDIATYPE=PLAIN") + kResolution + kBits, 0, kEnd},
          {"tray_1_medium_unmapped", [](GState& s) { Value(s, 907, 6); }, kStart + kResolution + kBits, 0, kEnd},
          {"mapped_bin_40", [](GState& s) { Value(s, 248, 40); },
           kStart + Set("OUTBIN=OPTIONALOUTBIN3") + kResolution + kBits, 0, kEnd},
          {"bin_3_with_the_output_device", [](GState& s) { Value(s, 248, 3); },
           kStart + Set("OUTBIN=OPTIONALOUTBIN2") + kResolution + kBits, 0, kEnd},
          {"bin_2_with_the_variant_is_the_optional_bin",
           [](GState& s) {
             Value(s, 248, 2);
             Value(s, 1127, 1);
           },
           kStart + Set("OUTBIN=OPTIONALOUTBIN1") + kResolution + kBits, 0, kEnd},
          {"bin_2_plain", [](GState& s) { Value(s, 248, 2); }, kStart + Set("OUTBIN=LOWER") + kResolution + kBits, 0,
           kEnd},
      },
      Describe);
}

// A graphics device whose default paper size is size 2, with a device
// description of its own.
class DuplexDevice : public TestGraphicsDevice {
 public:
  DuplexDevice() {
    TestDeviceTree tree = MakeDeviceTree();
    configuration = tree.configuration;
    SetSettingsRoot(std::move(tree.root));
  }
  int16_t GetOSCapabilityLevel() override { return 2; }
  GConfiguration* configuration;
};

TEST_F(PJLHeader, DuplexAndTheDevice) {
  DuplexDevice device;
  Value(*device.configuration, 204, 1);
  Value(*device.configuration, 245, 1);
  Value(*device.configuration, 1010, 1);
  GAttributeComposite* sizes = AddGroup(*device.configuration, 188);
  Value(*sizes, 0, 2);
  device.outputName = RWWString(QV_WIDE("LPT1:"));
  RunRows(
      {
          {"long_edge",
           [](GState& s) {
             Value(s, 253, 2);
             Medium(s, 2);
           },
           kStart + Set("DUPLEX=ON") + Set("BINDING=LONGEDGE") + kResolution},
          {"unit_prints_the_size",
           [](GState& s) {
             Value(s, 253, 1);
             Medium(s, 2);
           },
           kStart + Set("DUPLEX=ON") + Set("BINDING=SHORTEDGE") + kResolution},
          {"unit_lacks_the_size_manual_pass",
           [](GState& s) {
             Value(s, 253, 1);
             Medium(s, 9);
           },
           kStart + Set("MANUALDUPLEX=ON") + Set("DUPLEX=ON") + Set("BINDING=SHORTEDGE") + kResolution},
          {"custom_size_goes_to_the_unit",
           [](GState& s) {
             Value(s, 253, 1);
             Medium(s, 16400);
           },
           kStart + Set("DUPLEX=ON") + Set("BINDING=SHORTEDGE") + kResolution},
          {"unknown_duplex_value", [](GState& s) { Value(s, 253, 5); }, kStart + Set("MANUALDUPLEX=ON") + kResolution},
          {"usage_port_lpt1", [](GState& s) { Value(s, 1021, 1); }, kStart + Line("USAGE=,,,00,08,01") + kResolution},
      },
      nullptr, &device);
}

TEST_F(PJLHeader, UsagePortFromTheDevicesOutputName) {
  struct Port {
    const char* name;
    const WideChar* output;
    const char* code;
  };
  for (const Port& p : {Port{"file", QV_WIDE("c:\\out\\job.File"), "04"}, Port{"lpt1", QV_WIDE("lpt1:"), "01"},
                        Port{"network", QV_WIDE("\\\\server\\queue"), "02"}}) {
    SCOPED_TRACE(p.name);
    TestGraphicsDevice device;
    device.outputName = RWWString(p.output);
    PJLJob job;
    job.device = &device;
    job.settings = Settings([](GState& s) { Value(s, 1021, 1); });
    RunJob(job, GPJL(GPrinter::kPJLKey));
    ExpectOutput(provider.Output(),
                 Header(kStart + Line("USAGE=,,,00,08," + std::string(p.code)) + kResolution) + EndText());
  }
}

// A pending manual-duplex pass is announced without a duplex unit, and the
// copies wait for it.
TEST_F(PJLHeader, APendingManualPassHoldsBackTheCopies) {
  DuplexDevice device;
  Value(*device.configuration, 245, 1);
  GValueAttribute* switchValue = AddValue(*device.configuration, 1010, 1);
  PJLJob job;
  job.device = &device;
  job.settings = Settings([](GState& s) {
    Value(s, 253, 0);
    Value(s, 1123, 1);
    Value(s, 247, 5);
  });
  RunJob(job, GPJL(GPrinter::kPJLKey));
  ExpectOutput(provider.Output(),
               Header(kStart + Set("MANUALDUPLEX=ON") + Set("DUPLEX=OFF") + kResolution) + EndText());
  EXPECT_EQ(switchValue->Value(), 1);
}

TEST_F(PJLHeader, TheManualDuplexSwitchIsTurnedOn) {
  DuplexDevice device;
  GValueAttribute* switchValue = AddValue(*device.configuration, 1010, 0);
  PJLJob job;
  job.device = &device;
  job.settings = Settings([](GState& s) { Value(s, 253, 1); });
  RunJob(job, GPJL(GPrinter::kPJLKey));
  ExpectOutput(provider.Output(), Header(kStart + Set("DUPLEX=OFF") + kResolution) + EndText());
  EXPECT_EQ(switchValue->Value(), 1);
}

TEST_F(PJLHeader, CustomPaperTakesTheDevicesDefaultSize) {
  DuplexDevice device;
  PJLJob job;
  job.device = &device;
  job.settings = Settings([](GState& s) { Medium(s, 16400); });
  GObjectRef configuration(new GConfiguration(GPeripheral::kConfigurationKey));
  Describe(static_cast<GConfiguration&>(*configuration));
  job.configuration = static_cast<GConfiguration*>(configuration.Get());
  RunJob(job, GPJL(GPrinter::kPJLKey));
  ExpectOutput(provider.Output(), Header(kStart + Set("PAPER=LETTER") + kResolution + Set("BITSPERPIXEL=1")) + kUEL +
                                      Line("EOJ NAME=\"Report\""));
}

TEST_F(PJLHeader, ADocumentNameWithAQuoteIsWrittenEmpty) {
  PJLJob job;
  job.documentName = RWWString(QV_WIDE("Say \"hi\""));
  RunJob(job, GPJL(GPrinter::kPJLKey));
  ExpectOutput(provider.Output(), Header(kStart + kResolution, "") + EndText(""));
}

TEST_F(PJLHeader, PJLSwitchedOffWritesNothing) {
  PJLJob job;
  job.settings = Settings([](GState& s) {
    Value(s, 579, 0);
    Value(s, 247, 5);
  });
  const PJLJobStatus status = RunJob(job, GPJL(GPrinter::kPJLKey));
  EXPECT_EQ(status.start, 0);
  EXPECT_EQ(status.end, 0);
  EXPECT_EQ(provider.Output(), "");
}

TEST_F(PJLHeader, PJLOnWritesTheHeader) {
  PJLJob job;
  job.settings = Settings([](GState& s) { Value(s, 579, 1); });
  RunJob(job, GPJL(GPrinter::kPJLKey));
  ExpectOutput(provider.Output(), Header(kStart + kResolution) + EndText());
}

}  // namespace
