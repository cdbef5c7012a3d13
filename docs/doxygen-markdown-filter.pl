#!/usr/bin/perl
# Doxygen input filter for the Markdown pages (docs/Doxyfile, FILTER_PATTERNS): prints the
# page given as the argument with two changes that make it read in the API reference as it
# reads as plain Markdown.
# - A heading that the page links to as "(#some-heading)" gets that label ("{#some-heading}"),
#   the one a Markdown viewer derives from its text; Doxygen derives none of its own.
# - In running text (outside code blocks and code spans), "::" before a name is written
#   "\::", so that an IPv6 address such as [::ffff:1.2.3.4] is not taken for a link.
use strict;
use warnings;

local $/;
my $page = <>;
my %linked = map { $_ => 1 } ($page =~ /\]\(#([\w-]+)\)/g);

sub Label {
    my ($title) = @_;
    my $label = lc $title;
    $label =~ s/[^\w\- ]//g;
    $label =~ tr/ /-/;
    return $label;
}

my $inFence = 0;
for my $line (split /^/, $page) {
    if ($line =~ /^\s*(```|~~~)/) {
        $inFence = !$inFence;
    } elsif (!$inFence) {
        if ($line =~ /^(#{1,6})\s+(.*?)\s*$/ && $linked{Label($2)}) {
            $line = "$1 $2 {#" . Label($2) . "}\n";
        }
        my @pieces = split /(`[^`]*`)/, $line;
        for my $piece (@pieces) {
            $piece =~ s/(?<![\w:\\])::(?=\w)/\\::/g unless $piece =~ /^`/;
        }
        $line = join '', @pieces;
    }
    print $line;
}
