#pragma once
// What every fuzz target shares: an application object (offscreen), one
// temporary folder that is both the root folder and the program's folder, and
// the run of one input, where the program's own errors count as a normal
// answer and everything else as a finding.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>

namespace velix::fuzz {

/// Once per process, before the first input.
void initialize(int *argc, char ***argv);

/// The temporary folder (root folder and program folder).
QString folder();

/// Runs `read` on one input. With a `fileName`, the input is first written to
/// folder()/fileName and `read` is given that path (and the bytes); without,
/// an empty path. velix::Error is caught; any other exception aborts.
void runOne(const uint8_t *bytes, size_t size, const QString &fileName,
            const std::function<void(const QByteArray &data, const QString &path)> &read);

} // namespace velix::fuzz
