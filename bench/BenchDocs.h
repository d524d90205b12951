// What the benchmarks of the document share: the run's workspace, generated record files, and
// one prepared document kept from one benchmark size to the next.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "bench/BenchData.h"
#include "document/VelkonDoc.h"

namespace bench {

// Set by main for the whole run.
void SetWorkspace(Workspace* workspace);
Workspace& TheWorkspace();

// A file of MakeLst(n) records in the workspace, written on first use.
const std::string& RecordFile(std::size_t n);

// Opens the file in a new document; nullptr when it cannot be opened.
std::unique_ptr<CVelkonDoc> OpenDocument(const std::string& path);

// Preparing a large document takes longer than measuring it, so the last one prepared is kept
// for as long as the same key is asked for. Only one is kept: a million records take hundreds
// of megabytes. nullptr when `make` gives nothing.
CVelkonDoc* CachedDocument(const std::string& key,
                           const std::function<std::unique_ptr<CVelkonDoc>()>& make);
void ReleaseCachedDocument();

}  // namespace bench
