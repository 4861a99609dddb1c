/* Functions exported under decorated names (stdcall_exports.def). */
int Twice(int x) { return 2 * x; }
int Thrice(int x, int y) { return 3 * x + y; }
int Plain(int x) { return x + 1; }
