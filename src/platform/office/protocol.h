#pragma once

#include <QLatin1StringView>

// What the main program and the office worker say to each other over the worker's pipe:
// one JSON object a line each way. A request names its operation under "op"; the worker
// answers every request with one reply ("ok", and "error" when it failed), and while it
// works it also sends lines that are no reply: "beat" while it uses processor time and
// "progress" with LibreOffice's own. Both sides take the names from here.
namespace OfficeProtocol {

inline constexpr QLatin1StringView kOperation{"op"};

// The operations, with the request fields each reads.
namespace Op {
// Starts LibreOffice: install, profile.
inline constexpr QLatin1StringView init{"init"};
// Ends the worker once it has replied.
inline constexpr QLatin1StringView quit{"quit"};
// Opens a document in place of the one open: a file (path, copy), or a new one
// (factory, render); measure asks a text document for the width of its text (replies
// parts and textWidth).
inline constexpr QLatin1StringView load{"load"};
// Pastes a file's content of a media type: file, mime, replace.
inline constexpr QLatin1StringView paste{"paste"};
// Saves the open document: path, format, options.
inline constexpr QLatin1StringView saveAs{"saveAs"};
// The open document's size: replies width and height.
inline constexpr QLatin1StringView documentSize{"documentSize"};
// How many parts (sheets, slides) the document has: replies parts.
inline constexpr QLatin1StringView parts{"parts"};
// Makes a part current: part; replies parts.
inline constexpr QLatin1StringView setPart{"setPart"};
// Runs a LibreOffice command: command, arguments; replies success and parts.
inline constexpr QLatin1StringView uno{"uno"};
} // namespace Op

// The fields of the requests.
namespace Field {
inline constexpr QLatin1StringView install{"install"};
inline constexpr QLatin1StringView profile{"profile"};
inline constexpr QLatin1StringView path{"path"};
inline constexpr QLatin1StringView copy{"copy"};
inline constexpr QLatin1StringView factory{"factory"};
inline constexpr QLatin1StringView render{"render"};
inline constexpr QLatin1StringView measure{"measure"};
inline constexpr QLatin1StringView file{"file"};
inline constexpr QLatin1StringView mime{"mime"};
inline constexpr QLatin1StringView replace{"replace"};
inline constexpr QLatin1StringView format{"format"};
inline constexpr QLatin1StringView options{"options"};
inline constexpr QLatin1StringView part{"part"};
inline constexpr QLatin1StringView command{"command"};
inline constexpr QLatin1StringView arguments{"arguments"};
// Marks a request of the spare's warm-up, so that its answer is never taken for an
// export's own request; the worker does not read it.
inline constexpr QLatin1StringView warmUp{"warmUp"};
} // namespace Field

// The factory of a new landscape text document, beside LibreOffice's own ("swriter",
// "scalc", "simpress").
inline constexpr QLatin1StringView kLandscapeFactory{"landscape"};

// The fields of the replies and of the lines that are no reply.
namespace Answer {
inline constexpr QLatin1StringView ok{"ok"};
inline constexpr QLatin1StringView error{"error"};
inline constexpr QLatin1StringView parts{"parts"};
inline constexpr QLatin1StringView width{"width"};
inline constexpr QLatin1StringView height{"height"};
inline constexpr QLatin1StringView textWidth{"textWidth"};
inline constexpr QLatin1StringView success{"success"};
inline constexpr QLatin1StringView beat{"beat"};
inline constexpr QLatin1StringView progress{"progress"};
} // namespace Answer

} // namespace OfficeProtocol
