#include "web/page_texts.h"

#include <cstdio>
#include <initializer_list>
#include <utility>

#include "texts/settings_texts.h"
#include "texts/ui_texts.h"
#include "ui_model/settings_form.h"

namespace korvane::web {
namespace {

// What a class changes: the sizes and rates of both searches.
constexpr const char* kClassSettings[] = {"MaxGenerations",      "PopulationSize",    "EliteCount",
                                          "DurationMutationRate", "ActionMutationRate", "InsertionRate",
                                          "TrainingGenerations", "NetPopulationSize", "NetEliteCount",
                                          "SmallMutationRate",   "LargeMutationRate", "NetCrossoverRate"};

bool IsClassSetting(const SettingsField& f) {
  for (const char* name : kClassSettings)
    if (std::string_view(f.param) == name) return true;
  return false;
}

std::string Object(std::initializer_list<std::pair<const char*, std::string>> members) {
  std::string out = "{";
  for (const auto& [name, value] : members) out += (out.size() > 1 ? "," : "") + JsonString(name) + ":" + value;
  return out + "}";
}

std::string Strings(std::initializer_list<const char*> items) {
  std::string out = "[";
  for (const char* s : items) out += (out.size() > 1 ? "," : "") + JsonString(s);
  return out + "]";
}

}  // namespace

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (u < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", u);
      out += buf;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string SettingsValuesJson(const SimParams& p) {
  std::string out = "[";
  for (const SettingsField& f : SettingsFields()) {
    if (!IsClassSetting(f)) continue;
    out += (out.size() > 1 ? "," : "") + Object({{"name", JsonString(f.param)},
                                                 {"page", std::to_string(f.page)},
                                                 {"id", std::to_string(f.controlId)},
                                                 {"group", JsonString(f.group)},
                                                 {"label", JsonString(f.label)},
                                                 {"value", JsonString(SettingsFieldText(p, f))}});
  }
  return out + "]";
}

std::string PageTextsJson(const SimParams& p) {
  using namespace text;
  return Object({
      {"title", JsonString(MainTitle)},
      {"ok", JsonString(OkButton)},
      {"cancel", JsonString(CancelButton)},
      {"introduction", JsonString(Introduction)},
      {"manual", JsonString(MenuManual)},
      {"manualStart", JsonString(ManualStart)},
      {"manualEscaped", JsonString(ManualEscaped)},
      {"manualCrashed", JsonString(ManualCrashed)},
      {"ga", JsonString(MenuGA)},
      {"startGa", JsonString(MenuStartGA)},
      {"stepByStep", JsonString(MenuStepByStep)},
      {"showResult", JsonString(MenuShowResult)},
      {"network", JsonString(MenuNetwork)},
      {"train", JsonString(MenuTrain)},
      {"showTraining", JsonString(MenuShowTraining)},
      {"heuristic", JsonString(MenuHeuristic)},
      {"startHeuristic", JsonString(MenuStartHeuristic)},
      {"continue", Strings({MenuContinueGA, MenuContinueTraining, MenuContinueHeuristic})},
      {"loadLevel", JsonString(MenuLoadLevel)},
      {"levels", Strings({MenuLevel[0], MenuLevel[1], MenuLevel[2], MenuLevel[3]})},
      {"settings", JsonString(MenuSettings)},
      {"runControl", JsonString(MenuRunControl)},
      {"stop", JsonString(MenuStop)},
      {"paces", Strings({MenuPaceFastest, MenuPaceWatch, MenuPaceStep})},
      {"rerun", JsonString(MenuRerun)},
      {"setSeed", JsonString(MenuSetSeed)},
      {"seedLabel", JsonString(SeedDialogLabel)},
      {"showPaths", JsonString(MenuShowPaths)},
      {"showNetwork", JsonString(MenuShowNetwork)},
      {"exportHistory", JsonString(MenuExportHistory)},
      {"nothingToExport", JsonString(NothingToExport)},
      {"pages", Strings({SettingsPageTitles[0], SettingsPageTitles[1], SettingsPageTitles[2]})},
      {"fields", SettingsValuesJson(p)},
  });
}

}  // namespace korvane::web
