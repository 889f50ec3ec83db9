// Calls nothing: whatever it exports comes from linking the bitmap library alone.
int main() { return 0; }
