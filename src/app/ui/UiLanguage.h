#pragma once

// The two languages the user interface carries; start-up picks one for the whole run.
enum class UiLanguage {
    English,
    Chinese,
};
