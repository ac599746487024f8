/* Linked against the libraries the engine opens on first use, so that dpkg-shlibdeps can name
   their packages: the programs themselves do not list them. */
int main(void) { return 0; }
