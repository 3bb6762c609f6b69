#pragma once
// A folder the dependency rule does not know. The file is here because git
// keeps a folder only while it holds one.
