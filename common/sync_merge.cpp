#include "common/sync_merge.h"

#include "common/sync_base.h"

namespace Common {

VersionMerge::~VersionMerge() {
  Vault::WipeEntries(merged);
  Vault::WipeEntries(base);
}

void MergeArrived(const std::vector<Vault::Entry>& ours, const std::vector<Vault::Entry>& theirs,
                  Arrival arrival, VersionMerge& out) {
  Vault::WipeEntries(out.base);
  out.withBase = true;
  if (arrival == Arrival::GrewFromOurs) {
    MergeThreeWay(ours, ours, theirs, out.merged, out.report);
    return;
  }
  MergeCopy(ours, theirs, out);
}

void MergeCopy(const std::vector<Vault::Entry>& ours, const std::vector<Vault::Entry>& copy,
               VersionMerge& out) {
  out.withBase = ReadCommonBase(out.base);
  if (out.withBase) {
    MergeThreeWay(out.base, ours, copy, out.merged, out.report);
  } else {
    MergeUnion(ours, copy, out.merged, out.report);
  }
}

void MergeCopies(const std::vector<Vault::Entry>& ours,
                 const std::vector<const std::vector<Vault::Entry>*>& copies, EntryNamer name,
                 BaseUse use, VersionMerge& out, CopiesReport& report) {
  report = {};
  Vault::WipeEntries(out.merged);
  out.withBase = use == BaseUse::CommonBase && ReadCommonBase(out.base);
  std::vector<Vault::Entry> before = ours;  // secret: each step's list, wiped below
  for (const std::vector<Vault::Entry>* copy : copies) {
    MergeReport step;
    if (out.withBase) {
      MergeThreeWay(out.base, before, *copy, out.merged, step);
    } else {
      MergeUnion(before, *copy, out.merged, step);
    }
    report.total.added += step.added;
    report.total.changed += step.changed;
    report.total.removed += step.removed;
    for (size_t i : step.addedAt) report.addedNames.push_back(name(out.merged[i]));
    for (size_t i : step.removedAt) report.removedNames.push_back(name(before[i]));
    for (const MergeReport::Twin& twin : step.twins) {
      report.twinNames.push_back(name(out.merged[twin.first]));
    }
    report.perCopy.push_back(std::move(step));
    Vault::WipeEntries(before);
    before.swap(out.merged);
  }
  out.merged.swap(before);
  Vault::WipeEntries(before);
  report.total.sameAsOurs = out.merged == ours;
}

bool CopyMayGo(const std::vector<Vault::Entry>& copy, const std::vector<Vault::Entry>& saved,
               const std::vector<Vault::Entry>& base) {
  const std::vector<size_t> notSaved = MissingEntries(saved, copy);
  if (notSaved.empty() || base.empty()) return notSaved.empty();
  std::vector<Vault::Entry> rest;  // secret: copies of the copy's entries, wiped below
  rest.reserve(notSaved.size());
  for (size_t i : notSaved) rest.push_back(copy[i]);
  const bool inBase = MissingEntries(base, rest).empty();
  Vault::WipeEntries(rest);
  return inBase;
}

}  // namespace Common
