#pragma once
// Process-wide diagnostic output. Every call is thread-safe, and each text reaches
// every callback whole: texts from different threads are never interleaved.
// Callbacks are called while the library holds its output lock (one text at a time);
// a callback may itself write debug output or remove callbacks, but must not wait for
// another thread that writes debug output.

// (context given at registration, level of the text, text, length in bytes).
// The text is not zero-terminated for the callee's sake; use the length.
using DbgOutputCallback = void (*)(void* context, int level, const char* text, int length);

// Formats like printf and hands the text, with the prefix chosen below, to every
// registered callback. Texts above the output level (default 5) are dropped.
void DbgOutputA(int level, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
// Returns nonzero when added; the same callback and context pair is added once.
int DbgOutputAddCallback(DbgOutputCallback callback, void* context);
// Removes every registration of callback. Once it returns, the callback is not running
// and will not be called again.
void DbgOutputDelCallback(DbgOutputCallback callback);
// tag: a text put in brackets before every line ("[tag] "), or null for none.
// length: bytes of tag, or 0/-1 for up to the terminator.
void DbgOutputSetTag(const char* tag, int length);
// 0: no time; 1: local time "HH:MM:SS.mmm "; 2: local date and time "YYYY-MM-DD HH:MM:SS.mmm ".
void DbgOutputSetTimeType(int type);
// Nonzero: put "pid:tid " before every line.
void DbgOutputSetIncludePIDTID(int include);
// Texts with a level above this are dropped.
void DbgOutputSetLevel(int level);

// While one lives, texts written on its thread are dropped: a recording decoded again in
// the background for an export must not repeat its lines in the diagnostic log.
class CDbgOutputQuietScope {
public:
    CDbgOutputQuietScope();
    ~CDbgOutputQuietScope();
    CDbgOutputQuietScope(const CDbgOutputQuietScope&) = delete;
    CDbgOutputQuietScope& operator=(const CDbgOutputQuietScope&) = delete;
};
