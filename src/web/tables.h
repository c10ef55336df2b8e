#pragma once
// The engine's own tables of targets, layouts and option words as text for the page's
// pickers, so the page never holds a second list that could drift from the engine's.
#include <string>

namespace dotlane::web {

// A line a row, fields split by tabs:
//   target  NAME  LAYOUT  GROUP  STYLE  READER   every target, in the engine's order
//   layout  NAME  GROUP  DESCRIPTION         every layout convert takes
//   words   OPTION  WORD,WORD...             the words of each word option of convert
//   render  WORD,WORD...                     the layouts render takes
std::string tables_text();

} // namespace dotlane::web
