// Stands in for a component library: the download tests fetch it, load it
// and call this.
extern "C" int wqzComponentAnswer() {
    return 4217;
}
