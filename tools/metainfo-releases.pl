#!/usr/bin/perl
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints the AppStream <releases> element of a changelog in Debian's format, read with dpkg's own
# parser (libdpkg-perl): one <release> for each upstream version, newest first, made of the version's
# first entry (later ones of the same version, such as 1.0-2, change only the package).
#
#   perl tools/metainfo-releases.pl data/changelog
use strict;
use warnings;

use Dpkg::Changelog::Debian;

sub escaped {
    my ($text) = @_;
    $text =~ s/&/&amp;/g;
    $text =~ s/</&lt;/g;
    $text =~ s/>/&gt;/g;
    return $text;
}

# The "* ..." items of an entry, each with its wrapped lines joined.
sub items {
    my ($entry) = @_;
    my @items;
    for my $line (@{ $entry->get_part('changes') }) {
        if ($line =~ /^\s*\*\s+(.*)$/) {
            push @items, $1;
        } elsif ($line =~ /^\s+(\S.*)$/ && @items) {
            $items[-1] .= " $1";
        }
    }
    return @items;
}

my $file = shift or die "usage: $0 CHANGELOG\n";
my $changelog = Dpkg::Changelog::Debian->new(verbose => 0);
$changelog->load($file) or die "$file: cannot read it\n";
my @errors = $changelog->get_parse_errors();
die "$file: " . join("\n", map { "line $_->[1]: $_->[2]" } @errors) . "\n" if @errors;

my (%seen, @releases);
for my $entry (reverse @{$changelog}) {
    unshift @releases, $entry unless $seen{ $entry->get_version()->version() }++;
}

print "  <releases>\n";
for my $entry (@releases) {
    my $version = $entry->get_version()->version();
    my $date = $entry->get_timepiece()->ymd();
    print qq(    <release version="$version" date="$date">\n);
    print "      <description>\n        <ul>\n";
    print "          <li>", escaped($_), "</li>\n" for items($entry);
    print "        </ul>\n      </description>\n    </release>\n";
}
print "  </releases>\n";
