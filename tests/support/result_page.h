// Result pages as the test search service serves them: UTF-8 HTML in the search
// service's layout, with the related searches in a table near the end.
//
// The keywords come in as CP936 (the program's text) and are written into the page as
// UTF-8, as they are, without HTML escaping, so a keyword extracted from the decoded
// page is byte for byte the one the test put in.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelvaro::test {

// The page for `keyword` with one link per entry of `related`, in order. With no related
// keywords the page has no related-search table at all.
std::string ResultPageUtf8(std::string_view keyword, const std::vector<std::string>& related);

// CP936 text as UTF-8, for building pages and expectations.
std::string Cp936ToUtf8(std::string_view cp936);

}  // namespace kelvaro::test
